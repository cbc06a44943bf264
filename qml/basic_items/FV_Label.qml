import QtQuick 2.12
import QtQuick.Controls 2.12
import "FVstyle.js" as FVstyle

Label {
    font.pointSize: FVstyle.fontSize
    verticalAlignment: Text.AlignVCenter
    elide: Text.ElideRight
}
