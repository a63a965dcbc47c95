#pragma once
// Every window the main window opens, created on it in their fixed order and joined to its buttons. A new
// window becomes a member here and joins in the constructor (see app/window_registry.h).

#include "app/home_dialog.h"
#include "app/label_dialog.h"
#include "graph/graph_form.h"
#include "monitor/line_monitor.h"
#include "motion/motion_form.h"
#include "options/option_dialog.h"
#include "scenario/scenario_form.h"
#include "teaching/teaching.h"
#include "transmitter/button_dialog.h"
#include "transmitter/propo_dialog.h"
#include "widgets/info_dialog.h"

class TMainForm;

struct MainWindows {
    explicit MainWindows(TMainForm &main);

    TMotionForm motion;
    TOptionDialog options;
    TFileDialog scenario;
    TPropoDialog propo;
    THomeDialog home;
    TLabelDialog labels;
    TGraphForm graph;
    TButtonDialog keys;
    TInfoDialog info;
    TTeaching teaching;
    TLineMonitor monitor;
};
