#include "options/option_messages.h"

namespace orvane {

constexpr MessageTable<OptEntryCount> OptionMessages{
    {
        "オプション設定",
        "IDの割当",
        "トリム",
        "サーボホーンのねじ穴で調整しきれない角度の補正を行います",
        "取得",
        "初期化",
        "オプション設定の終了",
        "現在の調整値がクリアされますがよろしいでしょうか？",
        "警告",
    },
    {
        "Options",
        "ID assignment",
        "Trim",
        "Adjust degree of servo hone",
        "Get",
        "Reset",
        "Exit",
        "Current adjusted value will be clear. OK?",
        "Warining",
    },
};

}  // namespace orvane
