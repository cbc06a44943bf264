import QtQuick 2.12
import Folvane 0.1
import "../../basic_items"

FV_Manager_Win {
    id: win
    title: "Parameter Manager"
    width: 1080
    height: 420
    property var list: kblade.Models[KBlade.Parameters]
    function openEditor() {
        list.updateModel()
        open()
    }
    FV_Editor {
        window: win
        FV_Item_Table {
            objectName: "parameters"
            anchors.fill: parent
            tableModel: win.list ? win.list.TableModel : null
            columns: [
                {title: "Name", role: "name", kind: "text"},
                {title: "Opt", role: "isopt", kind: "check", width: 50},
                {title: "Sample", role: "issample", kind: "check", width: 60},
                {title: "Value", role: "value", kind: "number", width: 80},
                {title: "Low", role: "low", kind: "number", width: 80},
                {title: "High", role: "high", kind: "number", width: 80},
                {title: "Target", role: "target", kind: "number", width: 80},
                {title: "Digit", role: "digit", kind: "number", width: 60},
                {title: "Dis", role: "dis", kind: "combo", width: 175,
                 choices: ["Standard Normal", "Log Normal", "Uniform", "Weibull", "Gamma", "Exponential", "Poisson"]},
                {title: "Par 1", role: "par1", kind: "number", width: 80},
                {title: "Par 2", role: "par2", kind: "number", width: 80}
            ]
        }
    }
}
