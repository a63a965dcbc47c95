#include "teaching/teaching_messages.h"

namespace orvane {

constexpr MessageTable<TchEntryCount> TeachingMessages{
    {
        "教示作成",
        "FREEのサーボを固定して値を取得します",
        "ホームポジションに戻します",
        "現在の設定値を新規に追加する",
        "ＯＫをクリックするとサーボが動き出すので注意してください！",
        "警告",
    },
    {
        "Teaching",
        "Hold the FREE servos and take their positions",
        "Return to home position",
        "Add current value",
        "Servo motor start when you click \"OK\"",
        "Warining",
    },
};

}  // namespace orvane
