import QtQuick 2.12
import Folvane 0.1
import "../../basic_items"

FV_Manager_Win {
    id: win
    title: "Material Manager"
    width: 1000
    height: 360
    property var list: kblade.Models[KBlade.Materials]
    function openEditor() {
        list.updateModel()
        open()
    }
    FV_Editor {
        window: win
        FV_Item_Table {
            objectName: "materials"
            anchors.fill: parent
            tableModel: win.list ? win.list.TableModel : null
            columns: {
                var c = [{title: "Name", role: "mat", kind: "text"},
                         {title: "Type", role: "type", kind: "combo", width: 220,
                          choices: ["Uniax Material", "Engineering Material"]},
                         {title: "Price", role: "price", kind: "linker", width: 80},
                         {title: "Density", role: "density", kind: "linker", width: 80}]
                for (var i = 1; i <= 9; ++i)
                    c.push({title: "Parameter " + i, role: "par" + i, kind: "linker", width: 100})
                return c
            }
        }
    }
}
