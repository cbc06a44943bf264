#ifndef FOLVANE_KSAMPLESETTING_H
#define FOLVANE_KSAMPLESETTING_H

#include "core/kobjectlist.h"

#include <QPointer>

namespace Folvane {

class KLoad;
class KLoadList;

// The sampling run: where to write, how many samples, what to export and
// which load case to use.
class KSampleSetting : public KObjectList
{
    Q_OBJECT
    Q_PROPERTY(QString SamFolder READ samFolder WRITE setSamFolder NOTIFY SamFolderChanged)
    Q_PROPERTY(int SamNum READ samNum WRITE setSamNum NOTIFY SamNumChanged)
    Q_PROPERTY(bool ExportFVM READ exportFVM WRITE setExportFVM NOTIFY ExportFVMChanged)
    Q_PROPERTY(bool ExportFEM READ exportFEM WRITE setExportFEM NOTIFY ExportFEMChanged)
    Q_PROPERTY(int LoadInd READ loadInd WRITE setLoadInd NOTIFY LoadIndChanged)

public:
    KSampleSetting(KLoadList* loads, QObject* parent = nullptr);

    QString samFolder() const { return m_samFolder; }
    void setSamFolder(const QString& v) { m_samFolder = v; }
    int samNum() const { return m_samNum; }
    void setSamNum(int v) { m_samNum = v; }
    bool exportFVM() const { return m_exportFVM; }
    void setExportFVM(bool v) { m_exportFVM = v; }
    bool exportFEM() const { return m_exportFEM; }
    void setExportFEM(bool v) { m_exportFEM = v; }
    // The selected load case; a deleted one falls back to load case 0.
    KLoad* load() const;
    int loadInd() const;
    void setLoadInd(int ind);
    void selectFirstLoad();

    void readBinary(QDataStream& in) override;
    void writeBinary(QDataStream& out) const override;
    // The load case it samples.
    void addUses(QList<SonUse>& uses) const override;

    // Draws the sampled parameters anew for every sample and writes, into
    // the sample folder, blade-i.fvm and (for ANSYS) blade-i.bat for the
    // selected load case. Nothing at all when both exports are off; false,
    // with a message, when the sample folder is empty or no folder.
    Q_INVOKABLE bool startSample();

signals:
    void SamFolderChanged();
    void SamNumChanged();
    void ExportFVMChanged();
    void ExportFEMChanged();
    void LoadIndChanged();

private:
    KLoadList* m_loads;
    QString m_samFolder;
    int m_samNum = 10;
    bool m_exportFVM = false;
    bool m_exportFEM = true;
    QPointer<KLoad> m_load;
};

} // namespace Folvane

#endif
