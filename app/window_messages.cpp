#include "app/window_messages.h"

const orvane::MessageTable<5> kHomeDialogMessages{
    {"Varkel-1からホームポジションを呼び出します", "現在のポジションをホームポジションに登録します",
     "ホームポジションのファイルを開く", "ホームポジションをファイルに保存する", "ホームポジション"},
    {"Get home position form Varkel-1", "Save current position as home position", "Open home position file",
     "Save home position", "Home Position"},
};

const orvane::MessageTable<2> kLabelMessages{
    {"ラベルプロパティ", "ダブルクリックでチャンネルごとの色を設定できます"},
    {"Label property", "Label can be changed by double click."},
};

const orvane::MessageTable<3> kHomeFileMessages{
    {"ホームポジションのファイルを読み込めませんでした。", "ホームポジションのファイルを保存できませんでした。",
     "%1 は既に存在します。\n上書きしますか？"},
    {"Could not read the home position file.", "Could not save the home position file.",
     "%1 already exists.\nReplace it?"},
};

const orvane::MessageTable<2> kCloseGuardMessages{
    {"確認", "ボードとの通信中です。通信が終わってから終了してください"},
    {"Confirmation", "Communicating with the boards. Close the program when the transfer has ended."},
};
