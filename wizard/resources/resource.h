// Resource ids of the wizard program.
#pragma once

// Icons
#define IDI_WIZARD 1

// Strings
#define IDS_SELECT_SHARED_FOLDER 5
#define IDS_DASH 6
#define IDS_UNLIMITED 7
#define IDS_CREATE_FOLDER_QUESTION 8
#define IDS_QUIT_QUESTION 9
#define IDS_USER_PAGE_TITLE 11
#define IDS_USER_PAGE_SUBTITLE 12
#define IDS_FOLDER_PAGE_TITLE 21
#define IDS_FOLDER_PAGE_SUBTITLE 22
#define IDS_CONNECTION_PAGE_TITLE 31
#define IDS_CONNECTION_PAGE_SUBTITLE 32
#define IDS_RUNNING_PAGE_TITLE 41
#define IDS_RUNNING_PAGE_SUBTITLE 42
#define IDS_START_QUESTION 101
#define IDS_INVALID_LOCATION 103
#define IDS_NO_METADATA 104

// Wizard pages (dialogs), in page order: welcome, user, folder, connection, finish, running
#define IDD_WELCOME 101
#define IDD_FINISH 102
#define IDD_USER 103
#define IDD_FOLDER 104
#define IDD_RUNNING 106
#define IDD_CONNECTION 107

// Bitmaps: the watermark of the pages without header, and the header bitmap
#define IDB_WATERMARK 101
#define IDB_HEADER 102

// Page icons
#define IDI_USER_PAGE 108
#define IDI_CONNECTION_PAGE 109
#define IDI_FOLDER_PAGE 110
#define IDI_NOTES 111
#define IDI_RUNNING_PAGE 112

// Controls shared by pages
#define IDC_TITLE 500
#define IDC_SUBTITLE 501
#define IDC_WIZARD_LABEL 101

// Welcome page (IDD_WELCOME)
#define IDC_WELCOME_LIST 1000

// User page (IDD_USER)
#define IDC_USER_NAME 1001
#define IDC_NETWORK_NAME 1002
#define IDC_AT_SIGN 1003

// Folder page (IDD_FOLDER)
#define IDC_FOLDER_PATH 1006
#define IDC_FOLDER_BROWSE 1007
#define IDC_FOLDER_FREE 1009
#define IDC_SYSTEM_INFO 1012
#define IDC_DRIVE_LIST 1028

// Connection page (IDD_CONNECTION)
#define IDC_CONNECTION_LIST 1017
#define IDC_CONNECTION_SUMMARY 1029
#define IDC_OPTIMAL_SETTINGS 1031

// Finish page (IDD_FINISH)
#define IDC_FINISH_USER 1021
#define IDC_FINISH_USER_LABEL 1022
#define IDC_FINISH_FOLDER_LABEL 1023
#define IDC_FINISH_CONNECTION_LABEL 1024
#define IDC_FINISH_FOLDER 1025
#define IDC_RUN_CLIENT 1027
#define IDC_FINISH_CONNECTION 1029

// Running page (IDD_RUNNING)
#define IDC_CLOSE_CLIENT 1030

// Commands of the host client's main window
#define IDM_HOST_EXIT 32870
