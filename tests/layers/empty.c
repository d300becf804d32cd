/* SPDX-License-Identifier: GPL-3.0-or-later */
/* Nothing of its own: a link probe holds only the archive it checks. */
