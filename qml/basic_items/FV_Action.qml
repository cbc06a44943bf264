import QtQuick 2.12
import QtQuick.Controls 2.12

Action {
    property string iconSource
    icon.source: iconSource
}
