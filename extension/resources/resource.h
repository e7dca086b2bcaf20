// Resource ids of the extension module.
#pragma once

// Icons
#define IDI_EXTENSION 1

// QuickLinks: progress window, "Copy QuickLink as.." menu, templates
#define IDD_QUICKLINK_PROGRESS 123
#define IDC_QUICKLINK_FILE 1131
#define IDM_QUICKLINK 124
#define IDM_QUICKLINK_FORMAT1 11451
#define IDM_QUICKLINK_FORMAT2 11452
#define IDM_QUICKLINK_FORMAT3 11453
#define IDM_QUICKLINK_FORMAT4 11454
#define IDM_QUICKLINK_FORMAT5 11455
#define IDS_QUICKLINK_CANCELING 141
#define IDS_QUICKLINK_FORMAT1 513
#define IDS_QUICKLINK_FORMAT2 514
#define IDS_QUICKLINK_FORMAT3 515
#define IDS_QUICKLINK_FORMAT4 516
#define IDS_QUICKLINK_FORMAT5 517

// Tools menu: popups, "Tool Item Properties" dialog and their strings
#define IDS_NO_TOOLS 104
#define IDS_ICON_FILES 131
#define IDS_PREVIEW_THEATER 133
#define IDS_TOOL_CANT_OPEN 402
#define IDD_TOOL_PROPERTIES 118
#define IDC_TOOL_TITLE 1023
#define IDC_TOOL_CMD 1024
#define IDC_TOOL_CMD_BROWSE 1025
#define IDC_TOOL_WORKDIR 1066
#define IDC_TOOL_WORKDIR_BROWSE 1031
#define IDC_TOOL_ICON 1085
#define IDC_TOOL_ICON_BROWSE 1032
#define IDC_TOOL_PREVIEW 1100

// File manager menu: "Shell open" and the guarded open's messages
#define IDM_SHELL_OPEN 11005
#define IDS_SHELL_OPEN 139
#define IDS_PLAY_IN_THEATER 140
#define IDS_CANT_OPEN_FILE 408
#define IDS_VIRUS_WARNING 409
