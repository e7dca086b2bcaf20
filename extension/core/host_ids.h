// host_ids: the host client's window ids, resource ids and command ids that the
// module relies on (the stand-in host is built from the same list). Portable.
#pragma once

namespace va::host {

// Window classes and child ids.
inline constexpr const char* kMainFrameClass = "VeXlO";
inline constexpr const char* kFrameClass = "AfxFrameOrView42s";
inline constexpr int kPaneFirstId = 0xE900;   // MDI client; also the inner pane of a frame
inline constexpr int kPaneSecondId = 0xE901;  // library pane; search results pane
inline constexpr int kStatusBarId = 0xE801;
inline constexpr int kRebarId = 0xE804;
inline constexpr int kTrafficWindowId = 1381;
inline constexpr int kDownloadListId = 373;
inline constexpr int kDownloadHeaderId = 337;
inline constexpr int kLibraryListId = 59648;
inline constexpr int kPlayerChildId = 118;
inline constexpr int kResultsHolderId = 1175;
inline constexpr int kResultsListId = 373;
// Search form controls.
inline constexpr int kSearchTextId = 1172;
inline constexpr int kSearchStatusId = 1174;
inline constexpr int kSearchButtonId = 1238;
inline constexpr int kSearchMoreButtonId = 1245;
inline constexpr int kSearchStopId = 1157;
inline constexpr int kSearchCheckId = 1519;
// About dialog.
inline constexpr int kAboutDialogId = 100;
inline constexpr int kAboutHiddenControlId = 1521;

// Strings.
inline constexpr int kStringSearchTitle = 36127;
inline constexpr int kStringTrafficTitle = 1021;
inline constexpr int kStringLibraryTitle = 1001;
inline constexpr int kStringAppName = 57344;
inline constexpr int kStringNotConnected = 36083;
inline constexpr int kStringQueued = 36005;
inline constexpr int kStringPaused = 36006;
inline constexpr int kStringConnecting = 36007;
inline constexpr int kStringDownloading = 36008;
inline constexpr int kStringMoreSources = 36009;
inline constexpr int kStringSearching = 36010;
inline constexpr int kStringCompleted = 36011;
inline constexpr int kStringCancelled = 36012;
inline constexpr int kStringFailed = 36013;
inline constexpr int kStringRemotelyQueued = 61373;

// Other resources.
inline constexpr int kTrayIconId = 283;
inline constexpr int kDownloadMenuId = 219;
inline constexpr int kFileManagerMenuId = 222;

// Commands, sent as WM_COMMAND to the main frame.
inline constexpr int kCmdShowWeb = 109;
inline constexpr int kCmdShowSearch = 113;
inline constexpr int kCmdShowTraffic = 32788;
inline constexpr int kCmdExit = 32870;
inline constexpr int kCmdPause = 61242;
inline constexpr int kCmdResume = 61244;
inline constexpr int kCmdPreview = 61241;  // preview the selected download in Theater
inline constexpr int kCmdAccelerate = 32986;
inline constexpr int kCmdClearUploads = 32917;
inline constexpr int kCmdClearDownloads = 32880;
inline constexpr int kCmdNewSearch = 32892;
inline constexpr int kCmdFindAlbum = 32908;
inline constexpr int kCmdFindArtist = 32909;
inline constexpr int kCmdFindUser = 32987;
inline constexpr int kCmdJumpSuperNodeA = 32890;
inline constexpr int kCmdJumpSuperNodeB = 32891;
inline constexpr int kCmdTheater = 61219;
inline constexpr int kCmdAbout = 57664;

}  // namespace va::host
