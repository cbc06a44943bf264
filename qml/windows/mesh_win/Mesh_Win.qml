import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"
import "../../basic_items/FVstyle.js" as FVstyle

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
        meshSize.refusal = ""
        grid.columnTitles = ["Radius"].concat(setting.SonNames).concat(webs.SonNames)
        grid.rowTitles = profiles.SonNames
        grid.refresh()
        open()
    }
    // The typed size: taken (the profiles are re-meshed with it at once) or
    // refused, red, with the reason in the tool tip and the old size kept.
    function applyMeshSize() {
        const size = Number(meshSize.text)
        meshSize.refusal = setting.meshSizeRefusal(size)
        if (meshSize.valid && size !== setting.MeshSize) {
            setting.MeshSize = size
            grid.refresh()
        }
        return meshSize.valid
    }
    FV_Editor {
        window: win
        ColumnLayout {
            anchors.fill: parent
            RowLayout {
                FV_Label { text: "Mesh Size" }
                FV_TextBox {
                    id: meshSize
                    objectName: "meshSize"
                    property string refusal: ""
                    readonly property bool valid: refusal.length === 0
                    readonly property string toolTip: valid
                        ? "Element edge length the automatic mesh aims at, mm. A new size re-meshes the profiles at once; "
                          + "Auto Mesh re-meshes them after they change."
                        : "Refused: " + refusal
                    hoverEnabled: true
                    ToolTip.visible: hovered
                    ToolTip.delay: 400
                    ToolTip.text: toolTip
                    color: valid ? palette.text : FVstyle.failureColor
                    background: Rectangle {
                        color: FVstyle.textBoxColor
                        border.width: meshSize.valid ? 1 : 2
                        border.color: meshSize.valid ? FVstyle.textBoxBorder : FVstyle.failureColor
                    }
                    onEditingFinished: win.applyMeshSize()
                }
                FV_Button {
                    objectName: "autoMesh"
                    text: "Auto Mesh"
                    onClicked: {
                        if (!win.applyMeshSize())
                            return
                        win.profiles.autoMesh()
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
