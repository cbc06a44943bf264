import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The mesh size and every mesh number of the profiles.
FV_Manager_Win {
    id: win
    title: "Mesh Manager"
    width: 900
    height: 400
    property var list: kblade.Models[KBlade.Meshs]
    property var setting: kblade.Models[KBlade.Setting]
    property var profiles: kblade.Models[KBlade.Profiles]
    property var webs: kblade.Models[KBlade.Webs]
    function openEditor() {
        list.updateModel()
        meshSize.text = setting.MeshSize
        grid.columnTitles = ["Radius"].concat(setting.SonNames).concat(webs.SonNames)
        grid.rowTitles = profiles.SonNames
        grid.refresh()
        open()
    }
    FV_Editor {
        window: win
        ColumnLayout {
            anchors.fill: parent
            RowLayout {
                FV_Label { text: "Mesh Size" }
                FV_TextBox {
                    id: meshSize
                    hoverEnabled: true
                    ToolTip.visible: hovered
                    ToolTip.delay: 400
                    ToolTip.text: "Element edge length the automatic mesh aims at, mm"
                    onEditingFinished: win.setting.MeshSize = Number(text)
                }
                FV_Button {
                    text: "Auto Mesh"
                    onClicked: {
                        win.setting.MeshSize = Number(meshSize.text)
                        win.profiles.autoMesh()
                        win.list.TableModel.updateTable()
                        grid.refresh()
                    }
                }
            }
            FV_Grid_Table {
                id: grid
                Layout.fillWidth: true
                Layout.fillHeight: true
                tableModel: win.list ? win.list.TableModel : null
                role: "mesh"
            }
        }
    }
}
