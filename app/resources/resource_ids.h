// The identifiers of the desktop program's resources: dialogs, their controls, the menu's
// commands and the toolbar's buttons and selectors.
#pragma once

namespace quillon::res {

// Dialog templates.
constexpr int kPrincipDialog = 101;
constexpr char kKxNDialog[] = "KXNVCS";
constexpr char kNxNDialog[] = "NXNVCS";
constexpr char k2xNDialog[] = "2XNVCS";
constexpr char kGenDialog[] = "GENVCS";
constexpr char kMinQualSetDialog[] = "MINQUALSET";
constexpr char kCoalesceDialog[] = "COALESCE";

// Main dialog 101.
constexpr int kEditN = 1006;
constexpr int kEditK = 1007;
constexpr int kButtonEncriptar = 1008;
constexpr int kButtonDesencriptar = 1009;
constexpr int kButtonAbrir = 1010;

// Parameter dialogs.
constexpr int kEditThresholdK = 3020;
constexpr int kEditParticipantsN = 3021;
constexpr int kListCandidateSets = 3102;
constexpr int kStaticSetsHelp = 101;

// Layer-count dialog.
constexpr int kEditLayerCount = 2021;

// Menu "QUILLON".
constexpr char kMenu[] = "QUILLON";
constexpr int kCmdExit = 2000;
constexpr int kCmdOpenImage = 2001;
constexpr int kCmdCloseAll = 2002;
constexpr int kCmdSaveCurrentAs = 2003;
constexpr int kCmdCloseImage = 2004;
constexpr int kCmdEncrypt = 2010;
constexpr int kCmdCombine = 2020;
constexpr int kCmdHelp = 2051;
constexpr int kCmdAbout = 2052;

// Toolbar 3000 and its selectors.
constexpr int kToolBar = 3000;
constexpr int kToolOpen = 3002;
constexpr int kToolSaveCurrentAs = 3003;
constexpr int kToolEncrypt = 3005;
constexpr int kToolCombine = 3006;
constexpr int kSchemeSelector = 3010;
constexpr int kMethodSelector = 3011;
constexpr int kImageSelector = 3012;

}  // namespace quillon::res
