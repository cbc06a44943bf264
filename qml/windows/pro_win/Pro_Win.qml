import QtQuick 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The profiles, and the points of the one chosen with "Edit".
FV_Manager_Win {
    id: win
    title: "Profile Manager"
    width: 1220
    height: 560
    property var list: kblade.Models[KBlade.Profiles]
    // The profile whose points are shown: the point table's own.
    property var edited: list ? list.PointModel.Profile : null
    onEditedChanged: { points.refresh(); outline.requestPaint() }
    function openEditor() {
        list.updateModel()
        points.refresh()
        outline.requestPaint()
        open()
    }
    function chooseProfile(row) {
        list.changePointModel(row)
        points.refresh()
        outline.requestPaint()
    }
    FV_Editor {
        window: win
        RowLayout {
            anchors.fill: parent
            spacing: 12
            FV_Item_Table {
                id: profiles
                objectName: "profiles"
                Layout.fillWidth: true
                Layout.fillHeight: true
                sortable: true
                tableModel: win.list ? win.list.TableModel : null
                onEdited: outline.requestPaint()
                onButtonClicked: if (role === "edit") win.chooseProfile(row)
                columns: [
                    {title: "Name", role: "name", kind: "text", width: 100},
                    {title: "", role: "edit", kind: "button", buttonText: "Edit", width: 60},
                    {title: "Location", role: "loc", kind: "linker", width: 90, tip: "Span location of the profile, mm"},
                    {title: "Chord Length", role: "chordlen", kind: "linker", width: 110, tip: "Chord length, mm"},
                    {title: "Twist angle", role: "twist", kind: "linker", width: 90, tip: "Twist about the span axis, degrees"},
                    {title: "X Offset", role: "xoffset", kind: "linker", width: 80, tip: "Offset of the section along x, mm"},
                    {title: "Y Offset", role: "yoffset", kind: "linker", width: 80, tip: "Offset of the section along y, mm"}
                ]
            }
            ColumnLayout {
                Layout.preferredWidth: 340
                Layout.fillHeight: true
                FV_Label { objectName: "editedProfile"; text: win.edited ? win.edited.Name : ""; font.bold: true }
                RowLayout {
                    FV_Button {
                        text: "Paste"
                        onClicked: {
                            win.list.PointModel.copyFromClipBoard(delimiter.currentIndex)
                            points.refresh()
                            outline.requestPaint()
                        }
                    }
                    FV_ComboBox { id: delimiter; model: ["Tab", ",", "Space", ";"] }
                }
                FV_Item_Table {
                    id: points
                    objectName: "points"
                    Layout.fillWidth: true
                    Layout.fillHeight: true
                    tableModel: win.list ? win.list.PointModel : null
                    onEdited: outline.requestPaint()
                    columns: [
                        {title: "X", role: "x", kind: "number", width: 110, tip: "x of the point as a fraction of the chord"},
                        {title: "Y", role: "y", kind: "number", width: 110, tip: "y of the point as a fraction of the chord"}
                    ]
                }
                Canvas {
                    id: outline
                    Layout.fillWidth: true
                    Layout.preferredHeight: 170
                    onPaint: {
                        var ctx = getContext("2d")
                        ctx.reset()
                        ctx.fillStyle = "white"
                        ctx.fillRect(0, 0, width, height)
                        var p = win.edited
                        if (!p || p.PointNum < 2)
                            return
                        var w = Math.floor(width) - 20, h = Math.floor(height) - 20
                        ctx.strokeStyle = "#1E88E5"
                        ctx.lineWidth = 1.5
                        ctx.beginPath()
                        for (var i = 0; i <= p.PointNum; ++i) {
                            var k = i % p.PointNum
                            var x = 10 + p.pointX(k, w, h), y = 10 + p.pointY(k, w, h)
                            if (i === 0)
                                ctx.moveTo(x, y)
                            else
                                ctx.lineTo(x, y)
                        }
                        ctx.stroke()
                    }
                }
            }
        }
    }
}
