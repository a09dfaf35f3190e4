#include "console/texts.h"

namespace texts {
const char kBanner[] = "Orvane -Selvanna- セーブデータ補正プログラム Ver.1.00\n";
const char kNotInstalled[] = "Orvaneがインストールされていません。処理を終了します。\n";
const char kNotice[] =
    "既読情報はすべて初期化され、それぞれのセーブデータは章の先頭まで巻き戻されます。"
    "また、CGモード・回想モードには影響ありません。\n";
const char kPrompt[] = "処理を開始してよろしいですか？　(y/n) ";
const char kYes[] = "Yes\n";
const char kNo[] = "No\n";
const char kDone[] = "完了しました.\n";
const char kPressAnyKey[] = "何かキーを押してください.";
const char kLineEnd[] = "\n";

const char kGameFilesElsewhere[] =
    "ゲームのファイルは %s にあります。"
    "このプログラムは管理者としてではなく、ゲームと同じ方法で起動してください。処理を終了します。\n";

const char kPurgingReadHistory[] = "既読情報を消去します\n";

const char kCorrectingSaves[] = "セーブファイルを修正します\n";
const char kCorrectingSlot[] = "\t%d を修正中\n";
const char kCannotCreate[] = "ファイルが作成できません: %s\n";
const char kSaveDamaged[] = "セーブファイルが破損しています: %s\n";
const char kCannotWrite[] = "ファイルが書き込めません: %s\n";
const char kCannotRead[] = "ファイルが読み込めません: %s\n";
const char kCannotReplace[] = "ファイルを置き換えられません: %s\n";
}  // namespace texts
