/* Resource and command numbers shared by the resource script and the code. */
#pragma once

#define IDR_MAINMENU 101
/* The pop-up menus of IDR_MAINMENU, by their place in it. */
#define IDM_TRAY_POPUP 0
#define IDM_HISTORY_POPUP 1
#define IDM_HELP_POPUP 2
#define IDS_APPTITLE 101
#define IDI_BIGICON 105
#define IDI_SMALLICON 106
#define IDD_INPUT 109
#define IDD_CHAT 110

#define IDC_CAPTIONBAR 1005
#define IDC_INPUTTEXT 1013
#define IDC_CAPTIONPLACEHOLDER 1006
#define IDC_HISTORY 1017
#define IDC_HISTORYLABEL 1019
#define IDC_ICONPLACEHOLDER 1018
#define IDC_MESSAGELABEL 1016
#define IDC_NAME 1022
#define IDC_INPUTPROMPT 1029
#define IDC_OPTIONS 1025
#define IDC_SEND 1034
#define IDC_TOLABEL 1037
#define IDC_MESSAGE 1038
#define IDC_TO 1039
#define IDC_NAMELABEL 1043

#define ID_CHAT 115
#define ID_HISTORY_OPEN 32771
#define ID_OPTIONS 32772
#define ID_EMAIL_SUPPORT 32775
#define ID_VIEW_README 32776
#define ID_VISIT_WEBSITE 32777
#define ID_CLEAR_ALL 57633
#define ID_COPY 57634
#define ID_SELECT_ALL 57642
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

/* Help: the About box, its picture, and the read-me page. */
#define IDR_README 103
#define IDB_ABOUT 104
#define IDD_ABOUT 107
#define IDC_ABOUTTEXT 1010

/* The Options sheet: its pages, their controls and texts. */
#define IDD_OPTIONS_GENERAL 201
#define IDD_OPTIONS_FORMAT 202
#define IDD_OPTIONS_QUICKKEYS 203
#define IDC_LOGMESSAGES 1021
#define IDC_ONNEWMESSAGE 1024
#define IDC_PLAYSOUND 1027
#define IDC_LASTSENDER 1032
#define IDC_PROMPTALLUSERS 1033
#define IDC_VIEWLOG 1041
#define IDC_QUICKKEYLIST 1057
#define IDC_QUICKKEYTEXT 1058
#define IDC_QUICKKEYLABEL 1061
#define IDC_ONNEWMESSAGELABEL 1063
#define IDC_USERNAME 1064
#define IDC_BACKGROUND 1066
#define IDC_PREFIXFONT 1067
#define IDC_MESSAGEFONT 1068
#define IDC_PREFIXLIST 1069
#define IDC_EXAMPLE 1070
/* Under each page: shown when a policy sets one of its settings. */
#define IDC_POLICYNOTE 1071
/* The items of IDC_ONNEWMESSAGE, in the order of their stored values. */
#define IDS_ONNEWMESSAGE_FLASH 2101
#define IDS_ONNEWMESSAGE_POPUP 2102
#define IDS_ONNEWMESSAGE_NOTHING 2103
