#include "app/main_windows.h"

#include "app/home_ops.h"
#include "app/main_form.h"

#include <QLineEdit>
#include <QRadioButton>
#include <QToolButton>

namespace {

MotionFormPlacement ListPlacement(const orvane::MainSettings &s)
{
    return {s.listView, s.listTop, s.listLeft, s.listWidth, s.listHeight};
}

GraphPlacement GraphPlacementOf(const orvane::MainSettings &s)
{
    return {s.graphView, s.graphTop, s.graphLeft, s.graphWidth};
}

MonitorPlacement MonitorPlacementOf(const orvane::MainSettings &s)
{
    return {s.monitorView, s.monitorTop, s.monitorLeft, s.monitorWidth, s.monitorHeight};
}

}  // namespace

MainWindows::MainWindows(TMainForm &main)
    : motion(&main, main, main.StartFolder(), ListPlacement(main.Settings())), options(main, &main),
      scenario(&main, main, main.StartFolder()), propo(&main, main), home(&main), labels(&main),
      graph(&main, *motion.model(), main, GraphPlacementOf(main.Settings())), keys(&propo), info(&main),
      teaching(main, &main), monitor(&main, main, MonitorPlacementOf(main.Settings()))
{
    propo.SetButtonDialog(&keys);
    WindowRegistry &windows = main.Windows();
    windows.Join(main.GRID_BTN, &motion)
        .AlsoEnables(main.ADDITEM_BTN)
        .AlsoEnables(main.SpeedButton3)
        .KeepSettings([this](orvane::MainSettings &s) {
            const MotionFormPlacement p = motion.Placement();
            s.listView = p.visible;
            s.listTop = p.top;
            s.listLeft = p.left;
            s.listWidth = p.width;
            s.listHeight = p.height;
        });
    windows.Join(main.OPTION_BTN, &options).Looks(&options);
    windows.Join(main.MOTION_FILE_BTN, &scenario);
    windows.Join(main.OptionMenu3, &propo);
    windows.Join(main.HOME_BTN, &home).Opening([this, &main] { RunHomeDialog(home, main); });
    windows.Join(main.SpeedButton1, &labels).Opening([this, &main] { RunLabelDialog(labels, main); });
    windows.Join(main.GRAPH_BTN, &graph).Looks(&graph).KeepSettings([this](orvane::MainSettings &s) {
        const GraphPlacement p = graph.Placement();
        s.graphView = p.view;
        s.graphTop = p.top;
        s.graphLeft = p.left;
        s.graphWidth = p.width;
    });
    windows.Join(main.INFO_BTN, &info);
    teaching.SetHandSettings(main.Settings().hand);
    windows.Join(main.SHOT_BTN, &teaching)
        .Looks(&teaching)
        .Opening([this, &main] { teaching.RunFromMain(&main); })
        .KeepSettings([this](orvane::MainSettings &s) { s.hand = teaching.HandSettings(); });
    windows.Join(main.MONITOR_BTN, &monitor)
        .Opening([this] { monitor.Open(); })
        .KeepSettings([this](orvane::MainSettings &s) {
            const MonitorPlacement p = monitor.Placement();
            s.monitorView = p.view;
            s.monitorTop = p.top;
            s.monitorLeft = p.left;
            s.monitorWidth = p.width;
            s.monitorHeight = p.height;
        });

    // What the motion editor hands over to the main window and the graph.
    QObject::connect(&motion, &TMotionForm::DataNameHandedOver, &main,
                     [&main](const QString &name) { main.DATA_NAME->setText(name); });
    QObject::connect(&motion, &TMotionForm::SpeedHandedOver, &main, [&main](int speed) {
        if (speed < 0 || speed > 7)
            return;
        main.SPD_BTN[speed]->setChecked(true);
        main.SpeedChange(main.SPD_BTN[speed]);
    });
    QObject::connect(&motion, &TMotionForm::GraphRedrawRequested, &graph, &TGraphForm::Redraw);
}
