#include "editor/command_table.h"

namespace {

const TCommandDef kCommands[] = {
    {"New1", "ファイル", "新規作成(&N)", "", "Ctrl+N", 0, false, false},
    {"Open1", "ファイル", "開く(&O)", "", "Ctrl+O", 0, false, false},
    {"Save1", "ファイル", "上書き保存(&S)", "", "Ctrl+S", 0, false, false},
    {"SaveAS1", "ファイル", "名前を付けて保存(&X)...", "", "", 0, false, false},
    {"Output1", "ファイル", "出力(&O)", "", "", 0, false, false},
    {"Print1", "ファイル", "印刷(&P)", "", "", 0, false, false},
    {"Undo1", "編集", "元に戻す(&U)", "1手元に戻します。", "Ctrl+Z", 0, false, false},
    {"Redo1", "編集", "やり直す(&R)", "", "Ctrl+Shift+Z; Ctrl+Y", 0, false, false},
    {"Option1", "マップ", "設定(&O)...", "", "", 0, false, false},
    {"Pen1", "レイヤー", "床(&T)", "", "T", 1, true, true},
    {"Wall1", "マップ", "壁(&W)", "", "W", 1, true, false},
    {"Chip1", "マップ", "チップ編集(&C)", "", "C", 5, true, true},
    {"FreeHand1", "マップ", "自由編集(&H)", "", "H", 5, false, false},
    {"Pencil1", "マップ", "鉛筆(&P)", "", "P", 4, false, true},
    {"Rect1", "マップ", "四角(&R)", "", "R", 4, false, false},
    {"Ellipse1", "マップ", "楕円(&E)", "", "E", 4, false, false},
    {"Fill1", "マップ", "塗りつぶし(&F)", "", "F", 4, false, false},
    {"Door1", "マップ", "ドア(&D)", "", "D", 4, false, false},
    {"DoorColorChange1", "マップ", "ドア色の変更(&L)...", "", "", 0, false, false},
    {"HighDef1", "マップ", "常に影を計算(&H)", "", "", 3, true, false},
    {"EndDef1", "マップ", "描画終了時に影を計算(&E)", "", "", 3, true, true},
    {"NoneDef1", "マップ", "影を描画しない(&N)", "", "", 3, true, false},
    {"AlwaysFact1", "マップ", "常に有効(&A)", "", "", 7, true, false},
    {"SaveFact", "マップ", "保存時のみ無効(&S)", "", "", 7, true, true},
    {"AlwaysSlow", "マップ", "常に無効(&L)", "", "", 7, true, false},
    {"AddLayer1", "レイヤー", "追加(&A)...", "", "", 0, false, false},
    {"DeleteLayer1", "レイヤー", "削除(&D)", "", "", 0, false, false},
    {"RecordLayerSet1", "レイヤー", "レイヤーセットとして保存(&S)...", "", "", 0, false, false},
    {"ObjectSelect1", "オブジェクト", "オブジェクトの選択(&S)", "", "V", 4, false, false},
    {"Label1", "オブジェクト", "ラベル(&L)", "", "L", 4, false, false},
    {"RoomNumber1", "オブジェクト", "部屋番号(&N)", "", "N", 4, false, false},
    {"Light1", "オブジェクト", "明かり(&I)", "", "I", 4, false, false},
    {"Window1", "オブジェクト", "窓(&W)", "", "Shift+W", 4, false, false},
    {"ObjectProps1", "オブジェクト", "オブジェクトの設定(&P)...", "", "", 0, false, false},
    {"DeleteObject1", "オブジェクト", "オブジェクトの削除(&D)", "", "Del", 0, false, false},
    {"ObjectForward1", "オブジェクト", "前面へ(&F)", "", "", 0, false, false},
    {"ObjectBackward1", "オブジェクト", "背面へ(&B)", "", "", 0, false, false},
    {"ShowLabels1", "表示", "ラベルを表示(&L)", "", "", 0, true, true},
    {"LightPreview1", "表示", "明かりのプレビュー(&P)", "", "", 0, true, false},
    {"SaveWithTextures1", "ファイル", "テクスチャと一緒に保存(&T)...", "", "", 0, false, false},
    {"Preferences1", "編集", "環境設定(&P)...", "", "", 0, false, false},
};

}  // namespace

std::span<const TCommandDef> CommandTable() { return kCommands; }
