import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

TextField {
    implicitHeight: FVstyle.buttonHeight
    implicitWidth: FVstyle.cellWidth
    font.pointSize: FVstyle.fontSize
    selectByMouse: true
    leftPadding: 4
    rightPadding: 4
    topPadding: 2
    bottomPadding: 2
    // Long numbers show from their start while not being edited.
    onTextChanged: if (!activeFocus) cursorPosition = 0
    onActiveFocusChanged: if (!activeFocus) cursorPosition = 0
    background: Rectangle {
        color: FVstyle.textBoxColor
        border.width: 1
        border.color: FVstyle.textBoxBorder
    }
}
