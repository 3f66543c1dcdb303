#include "FormLayout.h"

#include <string>

namespace rinvo::forms {

namespace {

// The text as the help window shows it, one source line per line.
constexpr std::string_view UsageLines = R"(
  １．このソフトは、毎日の入力データを簡潔な操作でバックアップすることを目的に作成しま
      した。

  ２．コピー元とコピー先のフォルダを登録し（最大１０手順まで）、その設定に従ってフォル
　　　ダとその中のファイルやサブフォルダを自動的にコピーします。

  ３．設定ファイルを保存することにより、次回からはワンクリックでその設定に従って自動的
      にコピーできます。エクスプローラの様な質問ダイアログを、なるべく出さない仕組みに
　　　しております。

  ４．コピー先にコピー元と同名のファイルがあり、それが同じ更新日時か新しかったら
　　　コピーしません。（重要！）

  ５．コピー元に無いファイルが、コピー先にあっても削除されることはありません。

  ６．圧縮したり、一つのファイルにまとめたりしないので、そのままのイメージでフォルダが
      作成されます。コピー先の内容を見るのに、専用ソフトは必要ありません。
  
  ７．登録したフォルダの中のファイルを選択的にコピーすることは出来ません。サブフォルダ
      内のファイルもすべてコピーされます。

  ８．設定ファイルは Rinvo と同じフォルダに作成されますので、別のフォルダに Rinvo 
      を置けば事実上無制限にコピー手順を設定出来ることになります。

  ９．設定ファイル（ copyrule.txt ）はCSV形式ですからメモ帳等で編集できますが、フォー
      マットは絶対に変更しないでください。

１０．ＬＡＮ上のコンピュータとのやり取りは、条件によってログインする必要があります。

１１．フォルダ選択画面はコピーオプション通りには表示されません。ファイルはコピーオプ
　　　ション通りにコピーされます。

  ！注意：　コピー先のドライブ容量はチェックしませんので、コピーするのに十分なスペース
　　　　　　　があることを確認しておいてください。
)";

} // namespace

std::string_view usageText()
{
    // Stored with CR LF line ends, as the window's text has always been kept.
    static const std::string text = [] {
        std::string withCrLf;
        for (const char c : UsageLines) {
            if (c == '\n')
                withCrLf += '\r';
            withCrLf += c;
        }
        return withCrLf;
    }();
    return text;
}

} // namespace rinvo::forms
