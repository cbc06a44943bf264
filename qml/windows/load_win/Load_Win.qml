import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// Load cases and, for the selected one, its point loads.
FV_Manager_Win {
    id: win
    title: "Load Manager"
    width: 780
    height: 460
    property var list: kblade.Models[KBlade.Loads]
    function openEditor() {
        loads.refresh()
        open()
    }
    FV_Editor {
        window: win
        FV_MasterDetail {
            id: loads
            anchors.fill: parent
            list: win.list
            listWidth: 200
            sortable: true
            columns: [
                {title: "Location", role: "loc", kind: "number", width: 100, tip: "Span location of the point load, mm. The FE model spreads its force evenly over the stations nearer to it than to the loads beside it (a single load over the whole blade, root included)"},
                {title: "X", role: "x", kind: "number", width: 90, tip: "Force along x, in the section plane, N"},
                {title: "Y", role: "y", kind: "number", width: 90, tip: "Force along y, in the section plane, N"},
                {title: "Z", role: "z", kind: "number", width: 90, tip: "Force along z (the span), N"}
            ]
        }
    }
}
