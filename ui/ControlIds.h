#pragma once

// Control and menu identifiers of the three windows. The end-to-end tests find controls by
// them, so a value here is part of the program's outside face: change it in both places.
//
// Every control is a direct child of its window, also where it sits on a panel, so
// GetDlgItem(window, id) finds it. The panels (pBack, gbWincmd, gbUpdate, rgTaalback) are
// windows of class "KvGradientPanel" whose window text is their caption exactly as set, mark-up
// tags included (WM_GETTEXT gives e.g. "<FONT  size=\"14\" face=\"Arial\" ><B> Taal</B></FONT>").
// The glow buttons are owner-drawn BUTTONs whose window text is their caption ("&Start"; bKlaar
// has none); CircularProgress is of class "KvCircularProgress" and is enabled exactly while it
// runs; Progress is of class "KvProgressBar" and answers PBM_GETPOS and PBM_GETRANGE.
namespace kv::ids {

// TfMain
inline constexpr int ListBox = 100;
inline constexpr int StatusBar = 101;
inline constexpr int InstellingenMenuOptie = 201;
inline constexpr int StopMenuOptie = 202;
inline constexpr int InfoHoofdMenuOptie = 203;

// TfInstellingen
inline constexpr int eNaam = 300;
inline constexpr int bZoek = 301;
inline constexpr int bStart = 302;
inline constexpr int eAantal = 303;
inline constexpr int lAantal = 304;
inline constexpr int lUpdate = 305;
inline constexpr int rgTaalItem0 = 310;  // items 0 to 3 are 310 to 313
inline constexpr int bInfo = 320;
inline constexpr int bKlaar = 321;
inline constexpr int Progress = 322;
inline constexpr int CircularProgress = 323;
inline constexpr int gbWincmd = 330;
inline constexpr int gbUpdate = 331;
inline constexpr int rgTaalback = 332;
inline constexpr int pBack = 333;

// TfAbout
inline constexpr int AboutInfo = 400;
inline constexpr int KlaarButton = 401;
inline constexpr int Memo = 402;
inline constexpr int FotoTarm = 403;
inline constexpr int pBoven = 404;
inline constexpr int AboutBack = 405;
inline constexpr int Label2 = 406;
inline constexpr int Panel1 = 407;
inline constexpr int Panel2 = 408;

}  // namespace kv::ids
