import QtQuick 2.12
import QtQuick.Controls 2.12
import QtQuick.Layouts 1.12
import "FVstyle.js" as FVstyle

// A table over a table model: one line per row, one cell per column. A
// column is {title, role, kind, width, choices, buttonText, tip}; tip names
// the column's quantity and unit (a tool tip of its header); kind is "text",
// "number", "linker", "combo", "check", "label" or "button" (a button cell
// says buttonClicked(role, row)). Cells read "<role>_user" and write
// "<role>_input"; each is named "<table>.<row>.<role>" and says its text.
ColumnLayout {
    id: table
    property var tableModel
    property var columns: []
    property bool sortable: false
    property bool rowButtons: true
    property bool rowEditing: true
    property alias currentRow: rows.currentIndex
    property alias rowView: rows
    signal edited()
    signal buttonClicked(string role, int row)
    spacing: 4

    function refresh() {
        if (tableModel)
            tableModel.updateTable()
        rows.currentIndex = Math.min(Math.max(rows.currentIndex, 0), rows.count - 1)
    }
    function columnWidth(c) {
        return c.width !== undefined ? c.width : FVstyle.cellWidth
    }
    function contentWidth() {
        var w = rowButtons ? 2 * (FVstyle.buttonHeight + 2) : 0
        for (var i = 0; i < columns.length; ++i)
            w += columnWidth(columns[i]) + 2
        return w
    }
    function insertBefore() { if (tableModel.addRowBefore(rows.currentIndex)) { table.refresh(); table.edited() } }
    function insertAfter() { if (tableModel.addRowAfter(rows.currentIndex)) { rows.currentIndex += 1; table.refresh(); table.edited() } }
    function deleteRow() { if (tableModel.delRowCurrent(rows.currentIndex)) { table.refresh(); table.edited() } }
    // The cell being edited in full view.
    function reveal(item) {
        FVstyle.reveal(sideways, item, true)
        FVstyle.reveal(rows, item, false)
    }

    RowLayout {
        visible: rowEditing || sortable
        FV_Button { text: "Sort"; visible: table.sortable; onClicked: { table.tableModel.sortSons(); table.refresh(); table.edited() } }
        FV_Button { text: "Insert Row Before"; visible: table.rowEditing; onClicked: table.insertBefore() }
        FV_Button { text: "Insert Row After"; visible: table.rowEditing; onClicked: table.insertAfter() }
        FV_Button { text: "Delete Row"; visible: table.rowEditing; onClicked: table.deleteRow() }
    }

    Flickable {
        id: sideways
        Layout.fillWidth: true
        Layout.fillHeight: true
        contentWidth: table.contentWidth()
        contentHeight: height
        flickableDirection: Flickable.HorizontalFlick
        boundsBehavior: Flickable.StopAtBounds
        clip: true
        // Always there when the columns are wider than the window, so the
        // last ones stay in reach.
        ScrollBar.horizontal: ScrollBar {
            objectName: table.objectName + ".scroll"
            policy: sideways.contentWidth > sideways.width ? ScrollBar.AlwaysOn : ScrollBar.AsNeeded
        }

        Column {
            width: sideways.contentWidth
            height: sideways.height
            Row {
                id: header
                spacing: 2
                height: FVstyle.rowHeight
                Repeater {
                    model: table.columns
                    FV_Label {
                        objectName: table.objectName + ".header." + modelData.role
                        // The quantity and its unit, when the column has one.
                        property string toolTip: modelData.tip !== undefined ? modelData.tip : ""
                        width: table.columnWidth(modelData)
                        height: header.height
                        text: modelData.title
                        font.bold: true
                        horizontalAlignment: Text.AlignHCenter
                        MouseArea { id: headerHover; anchors.fill: parent; hoverEnabled: true; acceptedButtons: Qt.NoButton }
                        ToolTip.visible: headerHover.containsMouse && toolTip.length > 0
                        ToolTip.delay: 400
                        ToolTip.text: toolTip
                    }
                }
            }
            ListView {
                id: rows
                width: parent.width
                height: parent.height - header.height
                clip: true
                model: table.tableModel
                boundsBehavior: Flickable.StopAtBounds
                ScrollBar.vertical: ScrollBar {}
                // A focus scope: when a cell's field takes the focus the row
                // becomes current, and the view's focus on its current row
                // stays with that field.
                delegate: FocusScope {
                    id: line
                    property var rowData: model
                    property int row: index
                    width: rows.width
                    height: FVstyle.rowHeight + 2
                    Rectangle {
                        anchors.fill: parent
                        color: line.ListView.isCurrentItem ? "#EEF3FF" : "transparent"
                    }
                    MouseArea {
                        anchors.fill: parent
                        onClicked: rows.currentIndex = line.row
                    }
                    Row {
                        spacing: 2
                        anchors.verticalCenter: parent.verticalCenter
                        Repeater {
                            model: table.columns
                            Item {
                                id: cell
                                objectName: table.objectName + "." + line.row + "." + column.role
                                property var column: modelData
                                readonly property var value: line.rowData[column.role + "_user"]
                                readonly property string text: column.kind === "linker" ? (value ? value.Exp : "")
                                    : (value === undefined || value === null ? "" : String(value))
                                function write(v) { line.rowData[column.role + "_input"] = v; table.edited() }
                                // Typed text: empty when the model takes it, else why not.
                                function writeText(t) {
                                    const why = table.tableModel.writeCell(line.row, column.role, t)
                                    if (why.length === 0)
                                        table.edited()
                                    return why
                                }
                                function select() { rows.currentIndex = line.row; table.reveal(cell) }
                                width: table.columnWidth(column)
                                height: FVstyle.rowHeight
                                Loader {
                                    anchors.fill: parent
                                    sourceComponent: {
                                        switch (cell.column.kind) {
                                        case "linker": return linkerCell
                                        case "combo": return comboCell
                                        case "check": return checkCell
                                        case "label": return labelCell
                                        case "button": return buttonCell
                                        default: return textCell
                                        }
                                    }
                                }
                                Component {
                                    id: textCell
                                    FV_TextBox {
                                        objectName: cell.objectName + "Field"
                                        // Why the text last typed was refused: the cell
                                        // shows the value it keeps.
                                        property string refusal: ""
                                        tableCell: true
                                        valid: refusal.length === 0
                                        toolTip: refusal
                                        text: cell.text
                                        onTextEdited: refusal = ""
                                        onActiveFocusChanged: if (activeFocus) cell.select()
                                        onEditingFinished: {
                                            // Left as shown (a refused value's mark stays).
                                            if (text === cell.text)
                                                return
                                            refusal = cell.writeText(text)
                                            if (refusal.length > 0)
                                                text = Qt.binding(function() { return cell.text })
                                        }
                                    }
                                }
                                Component {
                                    id: linkerCell
                                    FV_Linker_TextBox {
                                        objectName: cell.objectName + "Expression"
                                        linker: cell.value === undefined ? null : cell.value
                                        tableCell: true
                                        onActiveFocusChanged: if (activeFocus) cell.select()
                                        onTextEdited: table.edited()
                                    }
                                }
                                Component {
                                    id: comboCell
                                    FV_ComboBox {
                                        objectName: cell.objectName + "Choice"
                                        model: cell.column.choices
                                        currentIndex: cell.value === undefined ? -1 : cell.value
                                        onActivated: { cell.select(); cell.write(index) }
                                    }
                                }
                                Component {
                                    id: checkCell
                                    FV_Checkbox {
                                        checked: cell.value === true
                                        onToggled: { cell.select(); cell.write(checked) }
                                    }
                                }
                                Component {
                                    id: labelCell
                                    FV_Label { text: cell.value === undefined ? "" : String(cell.value) }
                                }
                                Component {
                                    id: buttonCell
                                    FV_Button {
                                        text: cell.column.buttonText
                                        onClicked: { cell.select(); table.buttonClicked(cell.column.role, line.row) }
                                    }
                                }
                            }
                        }
                        FV_Button {
                            visible: table.rowButtons
                            text: "+"
                            implicitWidth: FVstyle.buttonHeight
                            onClicked: { rows.currentIndex = line.row; table.insertAfter() }
                        }
                        FV_Button {
                            objectName: table.objectName + "." + line.row + ".delete"
                            visible: table.rowButtons
                            text: "-"
                            implicitWidth: FVstyle.buttonHeight
                            onClicked: { rows.currentIndex = line.row; table.deleteRow() }
                        }
                    }
                }
            }
        }
    }

}
