! SPDX-License-Identifier: GPL-3.0-or-later
! The Glk calls that a Glulx build of the Inform 6 library (6.12.6) and the
! demo stories make. Debian's inform6-library ships without this file, so
! the stories carry their own: only the wrappers that are used, each one
! pushing its arguments last first and making the @glk call.
!
! The selector numbers, and the values of the constants below, are those
! of the Glk API, version 0.7.5: its table of function selectors in the
! "Glk dispatch" chapter, and the constants of glk.h. The
! two garglk numbers are Gargoyle's text extension, which the library
! asks about before it uses it.
System_file;

Constant evtype_None = 0;
Constant evtype_Timer = 1;
Constant evtype_CharInput = 2;
Constant evtype_LineInput = 3;
Constant evtype_MouseInput = 4;
Constant evtype_Arrange = 5;
Constant evtype_Redraw = 6;

Constant keycode_Unknown = $ffffffff;
Constant keycode_Left = $fffffffe;
Constant keycode_Right = $fffffffd;
Constant keycode_Up = $fffffffc;
Constant keycode_Down = $fffffffb;
Constant keycode_Return = $fffffffa;
Constant keycode_Delete = $fffffff9;
Constant keycode_Escape = $fffffff8;

Constant style_Normal = 0;
Constant style_Emphasized = 1;
Constant style_Preformatted = 2;
Constant style_Header = 3;
Constant style_Subheader = 4;
Constant style_Alert = 5;
Constant style_Note = 6;
Constant style_BlockQuote = 7;
Constant style_Input = 8;
Constant style_User1 = 9;
Constant style_User2 = 10;

Constant wintype_Pair = 1;
Constant wintype_Blank = 2;
Constant wintype_TextBuffer = 3;
Constant wintype_TextGrid = 4;
Constant wintype_Graphics = 5;

Constant winmethod_Left = 0;
Constant winmethod_Right = 1;
Constant winmethod_Above = 2;
Constant winmethod_Below = 3;
Constant winmethod_Fixed = $10;
Constant winmethod_Proportional = $20;

Constant fileusage_Data = 0;
Constant fileusage_SavedGame = 1;
Constant fileusage_Transcript = 2;
Constant fileusage_InputRecord = 3;
Constant fileusage_TextMode = $100;
Constant fileusage_BinaryMode = 0;

Constant filemode_Write = 1;
Constant filemode_Read = 2;
Constant filemode_ReadWrite = 3;
Constant filemode_WriteAppend = 5;

Constant gestalt_Timer = 5;
Constant gestalt_Sound = 8;
Constant gestalt_GarglkText = $1100;

[ glk_exit  res;
    @glk $0001 0 res;
    return res;
];

[ glk_gestalt sel val  res;
    @copy val sp;
    @copy sel sp;
    @glk $0004 2 res;
    return res;
];

[ glk_window_iterate win rockptr  res;
    @copy rockptr sp;
    @copy win sp;
    @glk $0020 2 res;
    return res;
];

[ glk_window_open split method size wintype rock  res;
    @copy rock sp;
    @copy wintype sp;
    @copy size sp;
    @copy method sp;
    @copy split sp;
    @glk $0023 5 res;
    return res;
];

[ glk_window_close win result  res;
    @copy result sp;
    @copy win sp;
    @glk $0024 2 res;
    return res;
];

[ glk_window_get_size win widthptr heightptr  res;
    @copy heightptr sp;
    @copy widthptr sp;
    @copy win sp;
    @glk $0025 3 res;
    return res;
];

[ glk_window_set_arrangement win method size keywin  res;
    @copy keywin sp;
    @copy size sp;
    @copy method sp;
    @copy win sp;
    @glk $0026 4 res;
    return res;
];

[ glk_window_get_type win  res;
    @copy win sp;
    @glk $0028 1 res;
    return res;
];

[ glk_window_get_parent win  res;
    @copy win sp;
    @glk $0029 1 res;
    return res;
];

[ glk_window_clear win  res;
    @copy win sp;
    @glk $002A 1 res;
    return res;
];

[ glk_window_move_cursor win xpos ypos  res;
    @copy ypos sp;
    @copy xpos sp;
    @copy win sp;
    @glk $002B 3 res;
    return res;
];

[ glk_window_get_stream win  res;
    @copy win sp;
    @glk $002C 1 res;
    return res;
];

[ glk_window_set_echo_stream win str  res;
    @copy str sp;
    @copy win sp;
    @glk $002D 2 res;
    return res;
];

[ glk_window_get_echo_stream win  res;
    @copy win sp;
    @glk $002E 1 res;
    return res;
];

[ glk_set_window win  res;
    @copy win sp;
    @glk $002F 1 res;
    return res;
];

[ glk_stream_iterate str rockptr  res;
    @copy rockptr sp;
    @copy str sp;
    @glk $0040 2 res;
    return res;
];

[ glk_stream_open_file fref mode rock  res;
    @copy rock sp;
    @copy mode sp;
    @copy fref sp;
    @glk $0042 3 res;
    return res;
];

[ glk_stream_open_memory buf buflen mode rock  res;
    @copy rock sp;
    @copy mode sp;
    @copy buflen sp;
    @copy buf sp;
    @glk $0043 4 res;
    return res;
];

[ glk_stream_close str result  res;
    @copy result sp;
    @copy str sp;
    @glk $0044 2 res;
    return res;
];

[ glk_stream_set_current str  res;
    @copy str sp;
    @glk $0047 1 res;
    return res;
];

[ glk_stream_get_current  res;
    @glk $0048 0 res;
    return res;
];

[ glk_fileref_create_by_prompt usage mode rock  res;
    @copy rock sp;
    @copy mode sp;
    @copy usage sp;
    @glk $0062 3 res;
    return res;
];

[ glk_fileref_destroy fref  res;
    @copy fref sp;
    @glk $0063 1 res;
    return res;
];

[ glk_fileref_iterate fref rockptr  res;
    @copy rockptr sp;
    @copy fref sp;
    @glk $0064 2 res;
    return res;
];

[ glk_put_char ch  res;
    @copy ch sp;
    @glk $0080 1 res;
    return res;
];

[ glk_put_char_stream str ch  res;
    @copy ch sp;
    @copy str sp;
    @glk $0081 2 res;
    return res;
];

[ glk_put_buffer buf len  res;
    @copy len sp;
    @copy buf sp;
    @glk $0084 2 res;
    return res;
];

[ glk_put_buffer_stream str buf len  res;
    @copy len sp;
    @copy buf sp;
    @copy str sp;
    @glk $0085 3 res;
    return res;
];

[ glk_set_style styl  res;
    @copy styl sp;
    @glk $0086 1 res;
    return res;
];

[ glk_get_line_stream str buf len  res;
    @copy len sp;
    @copy buf sp;
    @copy str sp;
    @glk $0091 3 res;
    return res;
];

[ glk_char_to_lower ch  res;
    @copy ch sp;
    @glk $00A0 1 res;
    return res;
];

[ glk_char_to_upper ch  res;
    @copy ch sp;
    @glk $00A1 1 res;
    return res;
];

[ glk_select event  res;
    @copy event sp;
    @glk $00C0 1 res;
    return res;
];

[ glk_request_line_event win buf maxlen initlen  res;
    @copy initlen sp;
    @copy maxlen sp;
    @copy buf sp;
    @copy win sp;
    @glk $00D0 4 res;
    return res;
];

[ glk_cancel_line_event win event  res;
    @copy event sp;
    @copy win sp;
    @glk $00D1 2 res;
    return res;
];

[ glk_request_char_event win  res;
    @copy win sp;
    @glk $00D2 1 res;
    return res;
];

[ glk_cancel_char_event win  res;
    @copy win sp;
    @glk $00D3 1 res;
    return res;
];

[ glk_request_timer_events millisecs  res;
    @copy millisecs sp;
    @glk $00D6 1 res;
    return res;
];

[ glk_schannel_iterate chan rockptr  res;
    @copy rockptr sp;
    @copy chan sp;
    @glk $00F0 2 res;
    return res;
];

[ garglk_set_zcolors fg bg  res;
    @copy bg sp;
    @copy fg sp;
    @glk $1100 2 res;
    return res;
];
