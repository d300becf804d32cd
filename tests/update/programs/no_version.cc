// An ELF executable without version strings.
int main() { return 0; }
