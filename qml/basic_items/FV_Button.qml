import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

Button {
    id: button
    implicitHeight: FVstyle.buttonHeight
    implicitWidth: Math.max(FVstyle.buttonWidth, contentItem.implicitWidth + 16)
    font.pointSize: FVstyle.fontSize
    font.capitalization: Font.MixedCase
    flat: true
    background: Rectangle {
        radius: 3
        color: button.pressed ? FVstyle.pressedColor : (button.hovered ? FVstyle.hoverColor : FVstyle.buttonColor)
    }
}
