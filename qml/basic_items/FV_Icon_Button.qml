import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

// A square button with an icon; its text shows as the tool tip.
ToolButton {
    id: button
    property string iconSource
    implicitWidth: FVstyle.buttonHeight + 8
    implicitHeight: FVstyle.buttonHeight + 8
    display: AbstractButton.IconOnly
    icon.source: iconSource
    icon.width: FVstyle.buttonHeight - 6
    icon.height: FVstyle.buttonHeight - 6
    icon.color: "transparent"
    ToolTip.visible: hovered && text.length > 0
    ToolTip.text: text
    ToolTip.delay: 400
    background: Rectangle {
        radius: 3
        color: button.pressed ? FVstyle.pressedColor : (button.hovered ? FVstyle.hoverColor : "transparent")
    }
}
