import QtQuick 2.12
import QtTest 1.2
import Folvane 0.1

// The editors drive the document through kblade: names, selections and
// the export window's load index.
TestCase {
    id: test
    name: "Editors"
    when: windowShown

    function windowOf(path) {
        var component = Qt.createComponent(path)
        verify(component.status === Component.Ready, component.errorString())
        var window = component.createObject(test)
        verify(window !== null)
        return window
    }
    function findChild(item, objectName) {
        if (!item)
            return null
        if (item.objectName === objectName)
            return item
        var children = item.children !== undefined ? item.children : []
        for (var i = 0; i < children.length; ++i) {
            var found = findChild(children[i], objectName)
            if (found)
                return found
        }
        if (item.contentItem && item.contentItem !== item)
            return findChild(item.contentItem, objectName)
        return null
    }

    SignalSpy { id: resets; signalName: "modelReset" }
    SignalSpy { id: chosen; signalName: "exportChosen" }

    function test_bladeNameField() {
        var window = windowOf("qrc:/windows/set_win/Set_Win.qml")
        window.openEditor()
        var field = findChild(window.contentItem, "bladeName")
        verify(field)
        compare(field.text, "NewBlade")
        field.text = "Long Blade"
        field.editingFinished()
        compare(kblade.Models[KBlade.Setting].BladeName, "Long Blade")
        window.close()
    }

    // A rename changes the names every choice shows, and rebuilds no rows.
    function test_sonNameFieldRenamesInPlace() {
        var window = windowOf("qrc:/windows/pat_win/Pat_Win.qml")
        window.openEditor()
        var patterns = kblade.Models[KBlade.Patterns]
        resets.target = patterns
        resets.clear()
        var field = findChild(window.contentItem, "sonName")
        verify(field)
        compare(field.text, "UNIAX")
        field.text = "Spar cap"
        field.editingFinished()
        compare(patterns.Sons[0].Name, "Spar cap")
        compare(patterns.SonNames[0], "Spar cap")
        compare(resets.count, 0)
        window.close()
    }

    function test_selectingARowShowsThatSon() {
        var window = windowOf("qrc:/windows/pat_win/Pat_Win.qml")
        window.openEditor()
        var list = findChild(window.contentItem, "sons")
        verify(list)
        var table = kblade.Models[KBlade.Patterns].TableModel
        list.currentIndex = 2   // "Core": one ply of material 2, 5 thick
        compare(table.data(table.index(0, 0), 257), 2)
        compare(table.data(table.index(0, 0), 259).Exp, "5")
        list.currentIndex = 1
        compare(table.data(table.index(0, 0), 257), 1)
        window.close()
    }

    function test_exportWindowGeometryOnlyEntry() {
        var window = windowOf("qrc:/ExportWindow.qml")
        chosen.target = window
        chosen.clear()
        window.openWith(kblade.Models[KBlade.Loads].SonNames)
        var loadCase = findChild(window.contentItem, "loadCase")
        compare(loadCase.count, kblade.LoadNum + 1)
        findChild(window.contentItem, "fileType").currentIndex = 2
        findChild(window.contentItem, "exportButton").clicked()
        compare(chosen.count, 1)
        compare(chosen.signalArguments[0][0], 2)
        compare(chosen.signalArguments[0][1], -1)
        loadCase.currentIndex = 2
        findChild(window.contentItem, "exportButton").clicked()
        compare(chosen.signalArguments[1][1], 1)
        window.close()
    }
}
