import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import Folvane 0.1
import "../../basic_items"

// The genetic algorithm's settings and the objectives.
FV_Manager_Win {
    id: win
    title: "Optimisation Setting"
    width: 760
    height: 760
    property var list: kblade.Models[KBlade.OptSet]
    signal browseFolder()
    function openEditor() {
        list.updateModel()
        refresh()
        open()
    }
    function refresh() {
        population.text = list.Population
        crossover.text = list.CrossoverNum
        iterations.text = list.IterNum
        selection.text = list.SelPortion
        mutation.text = list.MutateRate
        folder.text = list.OptDir
        modalModes.text = list.ModalModes
        bucklingModes.text = list.BucklingModes
        bucklingCase.text = list.BucklingLoadCase
    }
    FV_Editor {
        window: win
        ColumnLayout {
            anchors.fill: parent
            GridLayout {
                columns: 3
                FV_Label { text: "Population:" }
                FV_TextBox {
                    id: population
                    validator: IntValidator { bottom: 2 }
                    onEditingFinished: win.list.Population = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Crossover points:" }
                FV_TextBox {
                    id: crossover
                    objectName: "crossoverNum"
                    validator: IntValidator { bottom: 1 }
                    onEditingFinished: win.list.CrossoverNum = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Iterations:" }
                FV_TextBox {
                    id: iterations
                    objectName: "iterNum"
                    validator: IntValidator { bottom: 0 }
                    onEditingFinished: win.list.IterNum = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Selection Rate:" }
                FV_TextBox { id: selection; onEditingFinished: win.list.SelPortion = Number(text) }
                Item { width: 1 }
                FV_Label { text: "Mutation Rate:" }
                FV_TextBox { id: mutation; onEditingFinished: win.list.MutateRate = Number(text) }
                Item { width: 1 }
                FV_Label { text: "Modal analysis, modes:" }
                FV_TextBox {
                    id: modalModes
                    objectName: "modalModes"
                    validator: IntValidator { bottom: 1; top: 100 }
                    onEditingFinished: win.list.ModalModes = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Buckling, modes:" }
                FV_TextBox {
                    id: bucklingModes
                    objectName: "bucklingModes"
                    validator: IntValidator { bottom: 1; top: 100 }
                    onEditingFinished: win.list.BucklingModes = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Buckled load case:" }
                FV_TextBox {
                    id: bucklingCase
                    objectName: "bucklingLoadCase"
                    ToolTip.visible: hovered
                    ToolTip.text: "0: every load case, the lowest factor counts"
                    validator: IntValidator { bottom: 0 }
                    onEditingFinished: win.list.BucklingLoadCase = parseInt(text)
                }
                Item { width: 1 }
                FV_Label { text: "Save data to:" }
                FV_TextBox { id: folder; Layout.preferredWidth: 360; onEditingFinished: win.list.OptDir = text }
                FV_Button { text: "Browse"; onClicked: win.browseFolder() }
            }
            FV_Item_Table {
                Layout.fillWidth: true
                Layout.fillHeight: true
                tableModel: win.list ? win.list.TableModel : null
                rowButtons: false
                rowEditing: false
                columns: [
                    {title: "Name", role: "name", kind: "label", width: 150},
                    {title: "Optimise", role: "isopt", kind: "check", width: 80},
                    {title: "Target", role: "target", kind: "number", width: 100, tip: "Target of the objective in its own unit: mm for deflections, MPa for stresses, t for mass"},
                    {title: "Min.", role: "low", kind: "number", width: 100},
                    {title: "Max.", role: "high", kind: "number", width: 100},
                    {title: "Weight", role: "weight", kind: "number", width: 100}
                ]
            }
        }
    }
}
