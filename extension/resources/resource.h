// Resource ids of the extension module.
#pragma once

// Icons
#define IDI_EXTENSION 1

// File organizer: "Filter Properties" dialog and its strings
#define IDD_FILTER_PROPERTIES 400
#define IDC_FILTER_TITLE 1023
#define IDC_FILTER_FILTER 1109
#define IDC_FILTER_COPY 1117
#define IDC_FILTER_MOVE 1118
#define IDC_FILTER_DEST 1119
#define IDC_FILTER_DEST_BROWSE 1031
#define IDC_FILTER_WAV 1126
#define IDC_FILTER_WAV_BROWSE 1032
#define IDC_FILTER_CMD 1125
#define IDC_FILTER_CMD_BROWSE 1033
#define IDS_ALL_FILES 113
#define IDS_PICK_FOLDER_TITLE 114
#define IDS_SOUND_FILES 137
#define IDS_MOVE_OUTSIDE_SHARED 407
