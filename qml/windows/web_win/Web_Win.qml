import QtQuick 2.12
import Folvane 0.1
import "../../basic_items"

FV_Manager_Win {
    id: win
    title: "Web Manager"
    width: 820
    height: 360
    property var list: kblade.Models[KBlade.Webs]
    property var setting: kblade.Models[KBlade.Setting]
    function openEditor() {
        list.updateModel()
        setting.updateModel()
        kblade.Models[KBlade.Profiles].updateModel()
        webs.refresh()
        open()
    }
    FV_Editor {
        window: win
        FV_Item_Table {
            id: webs
            anchors.fill: parent
            tableModel: win.list ? win.list.TableModel : null
            columns: [
                {title: "Name", role: "name", kind: "text"},
                {title: "Start Profile", role: "startpro", kind: "linker", width: 100, tip: "Number of the profile where the web starts, counted from 1"},
                {title: "End Profile", role: "endpro", kind: "linker", width: 100, tip: "Number of the profile where the web ends, counted from 1"},
                {title: "Location 1", role: "startreg", kind: "combo", width: 130, choices: win.setting ? win.setting.SonNames : []},
                {title: "Location 2", role: "endreg", kind: "combo", width: 130, choices: win.setting ? win.setting.SonNames : []}
            ]
        }
    }
}
