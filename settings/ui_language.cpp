#include "settings/ui_language.h"

#include <string>

#include "settings/ascii_case.h"

namespace cfg {
namespace {

// In Language's order.
const UiTexts kTexts[] = {
    {
        "ja",
        // コンフィグ
        "\x83R\x83\x93\x83t\x83"
        "B\x83O",
        // スコアを初期化しますか？
        "\x83X\x83R\x83"
        "A\x82\xF0\x8F\x89\x8A\xFA\x89\xBB\x82\xB5\x82\xDC\x82\xB7\x82\xA9\x81H",
        // スコア初期化の確認
        "\x83X\x83R\x83"
        "A\x8F\x89\x8A\xFA\x89\xBB\x82\xCC\x8Am\x94"
        "F",
        // 設定
        "\x90\xDD\x92\xE8",
        // 設定ファイル
        "\x90\xDD\x92\xE8\x83t\x83@\x83"
        "C\x83\x8B ",
        //  を保存できませんでした。
        " \x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD"
        "\x81"
        "B",
        // ファイルが読み取り専用です。
        "\x83t\x83@\x83"
        "C\x83\x8B\x82\xAA\x93\xC7\x82\xDD\x8E\xE6\x82\xE8\x90\xEA\x97p\x82\xC5\x82\xB7\x81"
        "B",
        // ファイルを他のプログラムが使用中です。
        "\x83t\x83@\x83"
        "C\x83\x8B\x82\xF0\x91\xBC\x82\xCC\x83v\x83\x8D\x83O\x83\x89\x83\x80\x82\xAA\x8Eg\x97p\x92"
        "\x86"
        "\x82\xC5\x82\xB7\x81"
        "B",
        // 保存先のフォルダーがありません。
        "\x95\xDB\x91\xB6\x90\xE6\x82\xCC\x83t\x83H\x83\x8B\x83_\x81["
        "\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
        "B",
        // ディスクの空き不足です。
        "\x83"
        "f\x83"
        "B\x83X\x83N\x82\xCC\x8B\xF3\x82\xAB\x95s\x91\xAB\x82\xC5\x82\xB7\x81"
        "B",
        // 通常のファイルではありません。
        "\x92\xCA\x8F\xED\x82\xCC\x83t\x83@\x83"
        "C\x83\x8B\x82\xC5\x82\xCD\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
        "B",
        // このファイルかフォルダーを変更する権限がありません。
        "\x82\xB1\x82\xCC\x83t\x83@\x83"
        "C\x83\x8B\x82\xA9\x83t\x83H\x83\x8B\x83_\x81[\x82\xF0\x95\xCF\x8DX\x82\xB7\x82\xE9\x8C\xA0"
        "\x8C\xC0\x82\xAA\x82\xA0\x82\xE8\x82\xDC\x82\xB9\x82\xF1\x81"
        "B",
        // 起動時にこのファイルを最後まで読み込めませんでした。上書きすると読めなかった設定が失われるため、保存していません。
        "\x8BN\x93\xAE\x8E\x9E\x82\xC9\x82\xB1\x82\xCC\x83t\x83@\x83"
        "C\x83\x8B\x82\xF0\x8D\xC5\x8C\xE3\x82\xDC\x82\xC5\x93\xC7\x82\xDD\x8D\x9E\x82\xDF\x82\xDC"
        "\x82\xB9\x82\xF1\x82\xC5\x82\xB5\x82\xBD\x81"
        "B\x8F\xE3\x8F\x91\x82\xAB\x82\xB7\x82\xE9\x82\xC6\x93\xC7\x82\xDF\x82\xC8\x82\xA9\x82\xC1"
        "\x82\xBD\x90\xDD\x92\xE8\x82\xAA\x8E\xB8\x82\xED\x82\xEA\x82\xE9\x82\xBD\x82\xDF\x81"
        "A\x95\xDB\x91\xB6\x82\xB5\x82\xC4\x82\xA2\x82\xDC\x82\xB9\x82\xF1\x81"
        "B",
        // 元のファイルはなくなりました。設定は次のファイルに残っています:
        "\x8C\xB3\x82\xCC\x83t\x83@\x83"
        "C\x83\x8B\x82\xCD\x82\xC8\x82\xAD\x82\xC8\x82\xE8\x82\xDC\x82\xB5\x82\xBD\x81"
        "B\x90\xDD\x92\xE8\x82\xCD\x8E\x9F\x82\xCC\x83t\x83@\x83"
        "C\x83\x8B\x82\xC9\x8E"
        "c\x82\xC1\x82\xC4\x82\xA2\x82\xDC\x82\xB7: ",
        // [再試行] でもう一度保存します。[キャンセル]
        "[\x8D\xC4\x8E\x8E\x8Ds] "
        "\x82\xC5\x82\xE0\x82\xA4\x88\xEA\x93x\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB7\x81"
        "B[\x83L\x83\x83\x83\x93\x83Z\x83\x8B]",
        "[OK]",
        //  で保存せずに終了します。
        " \x82\xC5\x95\xDB\x91\xB6\x82\xB9\x82\xB8\x82\xC9\x8FI\x97\xB9\x82\xB5\x82\xDC\x82\xB7\x81"
        "B",
    },
    {
        "en",
        "Config",
        "Reset the scores?",
        "Reset scores",
        "Settings",
        "Could not save the settings file ",
        ".",
        "The file is read-only.",
        "Another program is using the file.",
        "The folder to save in does not exist.",
        "The disk is full.",
        "It is not a regular file.",
        "You may not change this file or its folder.",
        "This file could not be read to its end at start-up. Saving over it would lose the "
        "settings that could not be read, so it was not saved.",
        "The original file is gone. The settings are kept in this file: ",
        "[Retry] saves again. [Cancel]",
        "[OK]",
        " ends without saving.",
    },
};

Language LanguageNamed(std::string_view code) {
  const std::string lowered = LowerAscii(std::string(code));
  for (size_t i = 0; i < std::size(kTexts); ++i) {
    if (lowered == kTexts[i].code) return static_cast<Language>(i);
  }
  return Language::kJapanese;
}

// The command line's next word, without its quotes; empty at the end.
std::string_view NextWord(std::string_view& rest) {
  const size_t begin = rest.find_first_not_of(" \t\"");
  if (begin == std::string_view::npos) return rest = {};
  const size_t end = std::min(rest.find_first_of(" \t\"", begin), rest.size());
  const std::string_view word = rest.substr(begin, end - begin);
  rest.remove_prefix(end);
  return word;
}

}  // namespace

const UiTexts& TextsOf(Language language) {
  return kTexts[static_cast<size_t>(language)];
}

// The switch is "lang" after one of / - --, then its value after : or =, or
// as the next word.
Language LanguageFromCommandLine(std::string_view commandLine) {
  Language language = Language::kJapanese;
  std::string_view rest = commandLine;
  for (std::string_view word = NextWord(rest); !word.empty(); word = NextWord(rest)) {
    const std::string lowered = LowerAscii(std::string(word));
    const size_t name = lowered.rfind("--", 0) == 0 ? 2 : lowered.find_first_of("/-") == 0 ? 1 : 0;
    if (name == 0 || lowered.compare(name, 4, "lang") != 0) continue;
    const size_t after = name + 4;
    if (after == lowered.size()) {
      language = LanguageNamed(NextWord(rest));
    } else if (lowered[after] == ':' || lowered[after] == '=') {
      language = LanguageNamed(word.substr(after + 1));
    }
  }
  return language;
}

}  // namespace cfg
