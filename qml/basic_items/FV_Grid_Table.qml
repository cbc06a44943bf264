import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

// A grid over a table model whose one role pair serves every cell
// ("<role>_user", "<role>_input"), with row and column titles. Cells are
// linked values (linker) or whole numbers.
Item {
    id: grid
    property var tableModel
    property string role
    property bool linker: false
    property var rowTitles: []
    property var columnTitles: []
    property int cellWidth: 90
    property int titleWidth: 110

    function refresh() {
        if (tableModel)
            tableModel.updateTable()
        cells.forceLayout()
    }
    // The cell being edited in full view.
    function reveal(item) {
        FVstyle.reveal(cells, item, true)
        FVstyle.reveal(cells, item, false)
    }

    Row {
        id: columnHeader
        x: grid.titleWidth - cells.contentX
        height: FVstyle.rowHeight
        spacing: 2
        Repeater {
            model: grid.columnTitles
            FV_Label {
                width: grid.cellWidth
                height: columnHeader.height
                text: modelData
                font.bold: true
                horizontalAlignment: Text.AlignHCenter
            }
        }
    }
    Column {
        y: columnHeader.height - cells.contentY
        width: grid.titleWidth
        clip: true
        Repeater {
            model: grid.rowTitles
            FV_Label {
                width: grid.titleWidth
                height: FVstyle.rowHeight + 2
                text: modelData
                font.bold: true
            }
        }
    }
    TableView {
        id: cells
        x: grid.titleWidth
        y: columnHeader.height
        width: grid.width - x
        height: grid.height - y
        clip: true
        model: grid.tableModel
        columnSpacing: 2
        rowSpacing: 2
        boundsBehavior: Flickable.StopAtBounds
        columnWidthProvider: function() { return grid.cellWidth }
        rowHeightProvider: function() { return FVstyle.rowHeight }
        ScrollBar.horizontal: ScrollBar {}
        ScrollBar.vertical: ScrollBar {}
        delegate: Loader {
            property var cellData: model
            sourceComponent: grid.linker ? linkerCell : numberCell
        }
    }
    Component {
        id: linkerCell
        FV_Linker_TextBox {
            id: linkerBox
            // (A delegate being destroyed has lost its cell already.)
            linker: parent && parent.cellData ? parent.cellData[grid.role + "_user"] : null
            tableCell: true
            onActiveFocusChanged: if (activeFocus) grid.reveal(linkerBox)
        }
    }
    Component {
        id: numberCell
        FV_TextBox {
            id: numberBox
            property var cell: parent && parent.cellData ? parent.cellData : null
            tableCell: true
            onActiveFocusChanged: if (activeFocus) grid.reveal(numberBox)
            text: cell && cell[grid.role + "_user"] !== undefined ? String(cell[grid.role + "_user"]) : ""
            validator: IntValidator {}
            onEditingFinished: if (cell) cell[grid.role + "_input"] = parseInt(text)
        }
    }
}
