import QtQuick 2.12
import QtQml 2.14
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

TextField {
    id: box
    // A value that does not hold (refused, or not evaluating) shows red,
    // with the reason in the tool tip.
    property bool valid: true
    property string toolTip: ""
    // Any field entered by Tab, and a table cell entered by a click too,
    // has its text selected, so typing replaces it as in a spreadsheet
    // (coming back to the window leaves it be); F2 keeps the text to be
    // edited, the cursor at its end.
    property bool tableCell: false
    implicitHeight: FVstyle.buttonHeight
    implicitWidth: FVstyle.cellWidth
    font.pointSize: FVstyle.fontSize
    selectByMouse: true
    hoverEnabled: true
    leftPadding: 4
    rightPadding: 4
    topPadding: 2
    bottomPadding: 2
    // Long numbers show from their start while not being edited.
    onTextChanged: if (!activeFocus) cursorPosition = 0
    onActiveFocusChanged: {
        if (!activeFocus) {
            cursorPosition = 0
        } else if (focusReason === Qt.TabFocusReason || focusReason === Qt.BacktabFocusReason
                   || (tableCell && focusReason === Qt.MouseFocusReason)) {
            // After the click that entered it has placed the cursor.
            Qt.callLater(function() { if (box.activeFocus) box.selectAll() })
        }
    }
    Keys.onPressed: {
        if (event.key === Qt.Key_F2) {
            deselect()
            cursorPosition = length
            event.accepted = true
        }
    }
    Binding {
        target: box
        property: "color"
        value: FVstyle.failureColor
        when: !box.valid
        restoreMode: Binding.RestoreBindingOrValue
    }
    ToolTip.visible: hovered && toolTip.length > 0
    ToolTip.delay: 400
    ToolTip.text: toolTip
    background: Rectangle {
        color: FVstyle.textBoxColor
        border.width: box.valid ? 1 : 2
        border.color: box.valid ? FVstyle.textBoxBorder : FVstyle.failureColor
    }
}
