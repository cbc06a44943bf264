import QtQuick 2.12
import "basic_items"

// Asked before the document is replaced or the window closes while it has
// changes that are not saved: save them, drop them, or do nothing.
QuestionDialog {
    id: dialog
    title: "Unsaved changes"
    text: "The document has changes that are not saved. Save them first?"
    signal save()
    signal discard()
    FV_Button { objectName: "saveChanges"; text: "Save"; onClicked: { dialog.close(); dialog.save() } }
    FV_Button { objectName: "discardChanges"; text: "Discard"; onClicked: { dialog.close(); dialog.discard() } }
    FV_Button { objectName: "cancelChanges"; text: "Cancel"; onClicked: dialog.close() }
}
