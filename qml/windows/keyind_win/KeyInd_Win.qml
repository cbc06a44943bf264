import QtQuick 2.12
import Folvane 0.1
import "../../basic_items"

// The key index of every profile (rows) at every region boundary (columns).
FV_Manager_Win {
    id: win
    title: "Region Location Manager"
    width: 900
    height: 360
    property var list: kblade.Models[KBlade.KeyInds]
    property var setting: kblade.Models[KBlade.Setting]
    property var profiles: kblade.Models[KBlade.Profiles]
    function openEditor() {
        list.updateModel()
        var titles = []
        var names = setting.SonNames
        for (var i = 0; i + 1 < names.length; ++i)
            titles.push(names[i] + "/" + names[i + 1])
        grid.columnTitles = titles
        grid.rowTitles = profiles.SonNames
        grid.refresh()
        open()
    }
    FV_Editor {
        window: win
        FV_Grid_Table {
            id: grid
            anchors.fill: parent
            tableModel: win.list ? win.list.TableModel : null
            role: "id"
            linker: true
            cellWidth: 160
        }
    }
}
