// Control and command ids of the main window and the history dialog. The end-to-end driver
// finds controls by these ids, so their values are part of the window's outside contract.
#pragma once

namespace nokari::ids {

enum : int {
  OpenButton = 101,              // "Open\n..."
  EditorBox = 102,               // target editor
  JumpCheck = 103,               // "Jump"
  ReloadCheck = 104,             // "Reload"
  CadLoadButton = 105,           // "CAD"
  CadActivateButton = 106,       // "C"
  EditorActivateButton = 107,    // "E"
  CatalogueButton = 108,         // "関数カタログ"
  ParenthesisCheckButton = 109,  // "((✔))"
  VariableCheckButton = 110,     // "変数✔"
  ExclusionListButton = 111,     // "除外"
  FunctionCheckButton = 112,     // "関数✔"
  DockLeftButton = 113,          // "<"
  DockRightButton = 114,         // ">"
  EncodingLabel = 115,           // "UTF8" / "ANSI"
  FileNameBox = 116,             // file name
  HistoryButton = 117,           // "履歴"
  JumpList = 118,                // jump list
  Tree = 119,                    // function tree
  Panel = 120,                   // results panel
  ProgressBar = 121,
  UpperSplitter = 122,  // between the jump list and the tree
  LowerSplitter = 123,  // between the tree and the results panel
  LowerArea = 124,      // results panel and progress bar
  UpperArea = 125,      // buttons, file name and jump list
  MiddleArea = 126,     // tree

  // Popup menu items.
  AddToJumpListItem = 201,         // ジャンプリストに追加
  InsertAtJumpListTopItem = 202,   // ジャンプリストの先頭に挿入
  ClearJumpListItem = 203,         // ジャンプリストをクリア
  CopyFunctionNameItem = 204,      // 関数名だけをクリップボードにコピー
  CopyFunctionTextItem = 205,      // 関数の範囲すべてをクリップボードにコピー
  SendTreeCommandToCadItem = 206,  // コマンドを CAD へ送信 (tree)
  MoveUpItem = 211,                // 撰択行を１つ上に
  MoveDownItem = 212,              // 選択行を１つ下に
  DeleteItem = 213,                // 選択行を削除
  DeleteAllItem = 214,             // すべてを削除
  SendJumpListCommandToCadItem = 215,  // コマンドを CAD へ送信 (jump list)
  JumpToSelectedLineItem = 221,        // 選択した関数行へジャンプ

  // History dialog.
  HistoryList = 301,
  HistoryOk = 1,      // "OK" (IDOK)
  HistoryCancel = 2,  // "取り消し" (IDCANCEL)
};

}  // namespace nokari::ids

// Window classes the outside world looks for. "TForm25" is kept because other programs and
// users' scripts already find the window by it.
#define NOKARI_MAIN_CLASS L"TForm25"
#define NOKARI_HISTORY_CLASS L"TNokariFileHistForm"
// A property of the main window that tells how far its start has come: kStartShown once the
// window is shown and painted, with its tree filled when a file was loaded, while the start's
// variable check still runs; kStartOver once the start sequence is over.
#define NOKARI_STARTED_PROP L"NokariStarted"
namespace nokari::ids {
inline constexpr int kStartShown = 1;
inline constexpr int kStartOver = 2;
}  // namespace nokari::ids
