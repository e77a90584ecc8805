# The texts of the command line, in Japanese and English. The program's --help (src/) and the
# manual pages (man/) are both made from them, so that they cannot drift apart.
set(NOKURI_USAGE_SYNOPSIS "nokuri [--help | --version | --autostart]")
set(NOKURI_USAGE_SUMMARY_JA "システムトレイに常駐する、タブで整理する付箋メモ")
set(NOKURI_USAGE_SUMMARY_EN "tabbed sticky notes that wait in the system tray")
set(NOKURI_USAGE_HELP_JA "使い方を表示して終了します")
set(NOKURI_USAGE_HELP_EN "show this help and exit")
set(NOKURI_USAGE_VERSION_JA "バージョンを表示して終了します")
set(NOKURI_USAGE_VERSION_EN "show the version and exit")
set(NOKURI_USAGE_AUTOSTART_JA "ログイン時の自動起動用: トレイに入った状態で起動します")
set(NOKURI_USAGE_AUTOSTART_EN "for the login entry: start hidden in the tray")
set(NOKURI_USAGE_RUN_JA "オプションなしで起動すると、メモのウィンドウを開きます。")
set(NOKURI_USAGE_RUN_EN "Without an option, Nokuri opens its window of notes.")
set(NOKURI_USAGE_QT_JA "Qt の標準オプション (-platform, -display, -style など) は Qt が受け取ります。")
set(NOKURI_USAGE_QT_EN "Qt's own options (-platform, -display, -style and so on) are left to Qt.")

# The same texts for a manual page: a hyphen there must be written \- to come out as a minus.
get_cmake_property(nokuri_variables VARIABLES)
list(FILTER nokuri_variables INCLUDE REGEX "^NOKURI_USAGE_")
list(FILTER nokuri_variables EXCLUDE REGEX "_ROFF$")
foreach(variable IN LISTS nokuri_variables)
    string(REPLACE "-" "\\-" ${variable}_ROFF "${${variable}}")
endforeach()
