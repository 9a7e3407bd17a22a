#pragma once
// The main window's texts beyond its command captions: status panels, questions,
// warnings, tooltips and the help texts. Each has a built-in (Japanese) text and
// is replaced by its key in a language file; a key the file lacks keeps the text
// as it is. Texts with "%1".."%4" are filled with QString::arg.

#include <QString>

class TLanguageFile;

struct TEditorTexts {
  // --- status bar ---
  QString Layers = "%1 Layers";
  QString ChipSize = "pxs:%1px";
  QString Tiles = "Tiles:%1x%2";
  QString Position = "マス %1, %2 / %3, %4 px";
  QString Zoom = "%1%";
  QString RecoveryCopy = "復旧用コピー %1";
  QString RecoveryFailed = "復旧用コピーを保存できません: %1";

  // --- questions and warnings ---
  QString SaveChanges = "マップへの変更を保存しますか？";
  QString MissingTextures =
      "次のテクスチャが見つからないか読めません。ファイルが元の場所に戻るまで、"
      "そのレイヤーは代わりの模様で表示されます:";
  QString ChangedOnDisk =
      "\"%1\" は、ここで開いてから (または保存してから) 別のプログラムによって変更されています。"
      "このマップで上書きしますか？ (今のファイルは \"%2\" として残します。)";
  QString WroteInPlace =
      "\"%1\" のフォルダーではファイルの名前を変更できないため、元のファイルを \"%2\" "
      "として保存・確認したうえで、マップを直接上書きしました。";
  QString RecoveryOffer =
      "前回 Vellumcraft は正常に終了しませんでした。%1 の保存されていない変更を含む"
      "復旧用コピーが %2 に残っています。\n\n復元しますか？ (「いいえ」でコピーを削除します。)";
  QString Untitled = "名前のないマップ";
  QString NotAMap = "\"%1\" はマップファイル (*.qmx) ではありません。";
  // Maps that travel: packing a map with its textures, finding missing ones.
  QString PackFolder = "マップとテクスチャを保存するフォルダー";
  QString Packed = "%1 をテクスチャ %2 個と一緒に保存しました。";
  QString LookForTextures =
      "見つからないテクスチャを、選んだフォルダーとそのサブフォルダーで探しますか？";
  QString TextureFolder = "テクスチャを探すフォルダー";
  QString TexturesFound = "%1 個のレイヤーのテクスチャが見つかりました。";
  QString TexturesStillMissing = "次のテクスチャはまだ見つかりません:";

  // --- menus and tooltips of the window's own additions ---
  QString RecentMenu = "最近使ったファイル(&R)";
  QString ClearRecent = "一覧を消去(&C)";
  QString NoRecent = "(なし)";
  QString HelpMenu = "ヘルプ(&H)";
  QString About = "Vellumcraft について(&A)...";
  QString Shortcuts = "キーボードショートカット(&K)...";
  QString LayerUp = "上へ移動(&U)";
  QString LayerDown = "下へ移動(&W)";
  QString PenSizeTip = "自由編集のペンの太さ: %1 px";
  QString SwatchTip = "ドアの色: クリックで変更、右クリックで既定の色";
  QString LayerListTip =
      "チェックを外すと画面上でだけレイヤーを隠します (保存・出力には影響しません)";

  // --- help ---
  QString AboutText =
      "<b>%1</b> %2<br>タクティカルバトルマップのエディタ。<br><br>"
      "ライブラリ: Qt %3, zlib, libpng, libjpeg-turbo, libwebp, libdeflate, stb_image, "
      "nlohmann-json<br>ライセンス: MIT";
  QString ShortcutsText =
      "<table>"
      "<tr><td>Ctrl+N / Ctrl+O / Ctrl+S</td><td>新規作成 / 開く / 上書き保存</td></tr>"
      "<tr><td>Ctrl+Z, Ctrl+Y (Ctrl+Shift+Z)</td><td>元に戻す, やり直す</td></tr>"
      "<tr><td>T / W</td><td>床 / 壁</td></tr>"
      "<tr><td>C / H</td><td>チップ編集 / 自由編集</td></tr>"
      "<tr><td>P R E F D</td><td>鉛筆 四角 楕円 塗りつぶし ドア</td></tr>"
      "<tr><td>V L N I Shift+W O</td><td>オブジェクトの選択 ラベル 部屋番号 明かり 窓 "
      "小物</td></tr>"
      "<tr><td>1 2 3 4</td><td>ペンの太さ</td></tr>"
      "<tr><td>Ctrl+↑ / Ctrl+↓</td><td>レイヤーを上へ / 下へ移動</td></tr>"
      "<tr><td>Ctrl++ / Ctrl+- / Ctrl+0</td><td>拡大 / 縮小 / 等倍</td></tr>"
      "<tr><td>Ctrl+ホイール</td><td>カーソル位置を中心に拡大・縮小</td></tr>"
      "<tr><td>中ボタン / Space+ドラッグ</td><td>表示を移動</td></tr>"
      "<tr><td>ホイール / Shift+ホイール</td><td>上下 / 左右にスクロール</td></tr>"
      "<tr><td>右クリック</td><td>その場所のレイヤーを選ぶ</td></tr>"
      "</table>";

  // Reads every key of the file (sections "Status", "Prompts", "Extras", "Help"),
  // keeping the current text where a key is missing.
  void Load(const TLanguageFile& File);
};
