// Control and command ids of the main window and the history dialog. The end-to-end driver
// finds controls by these ids, so they are part of the window's outside contract.
#pragma once

namespace nokari::ids {

enum : int {
  kButton1 = 101,   // "Open\n..."
  kComboBox1 = 102, // target editor
  kCheckBox1 = 103, // "Jump"
  kCheckBox2 = 104, // "Reload"
  kButton3 = 105,   // "CAD"
  kButton8 = 106,   // "C"
  kButton9 = 107,   // "E"
  kButton5 = 108,   // "関数カタログ"
  kButton2 = 109,   // "((✔))"
  kButton4 = 110,   // "変数✔"
  kButton6 = 111,   // "除外"
  kButton7 = 112,   // "関数✔"
  kSpeedButton4 = 113,  // "<"
  kSpeedButton5 = 114,  // ">"
  kLabel1 = 115,    // "UTF8" / "ANSI"
  kEdit1 = 116,     // file name
  kButton10 = 117,  // "履歴"
  kListBox1 = 118,  // jump list
  kTreeView1 = 119,
  kMemo2 = 120,     // results panel
  kProgressBar1 = 121,
  kSplitter1 = 122,
  kSplitter2 = 123,
  kPanel1 = 124,
  kPanel2 = 125,
  kPanel3 = 126,

  // Popup menu items.
  kMenuN6 = 201,   // ジャンプリストに追加
  kMenuN5 = 202,   // ジャンプリストの先頭に挿入
  kMenuN7 = 203,   // ジャンプリストをクリア
  kMenuN1 = 204,   // 関数名だけをクリップボードにコピー
  kMenuN14 = 205,  // 関数の範囲すべてをクリップボードにコピー
  kMenuCAD1 = 206, // コマンドを CAD へ送信 (tree)
  kMenuN8 = 211,   // 撰択行を１つ上に
  kMenuN9 = 212,   // 選択行を１つ下に
  kMenuN10 = 213,  // 選択行を削除
  kMenuN13 = 214,  // すべてを削除
  kMenuCAD2 = 215, // コマンドを CAD へ送信 (jump list)
  kMenuN16 = 221,  // 選択した関数行へジャンプ

  // History dialog.
  kHistList = 301,
  kHistOk = 1,      // IDOK
  kHistCancel = 2,  // IDCANCEL
};

}  // namespace nokari::ids

// Window classes the outside world looks for.
#define NOKARI_MAIN_CLASS L"TForm25"
#define NOKARI_HISTORY_CLASS L"TNokariFileHistForm"
