#include "blade/ksamplesetting.h"

#include "blade/kanalysis.h"
#include "blade/kblade.h"
#include "blade/kload.h"
#include "core/binaryio.h"
#include "core/messages.h"
#include "core/parameterlist.h"
#include "solver/ansyscmd.h"

#include <QFileInfo>
#include <random>

namespace Folvane {

KSampleSetting::KSampleSetting(KLoadList* loads, QObject* parent)
    : KObjectList(QStringLiteral("Sample Setting"), parent)
    , m_loads(loads)
    , m_load(static_cast<KLoad*>(loads->sonOrFirst(0)))
{
}

KLoad* KSampleSetting::load() const
{
    return m_load ? m_load.data() : static_cast<KLoad*>(m_loads->sonOrFirst(0));
}

int KSampleSetting::loadInd() const
{
    return m_loads->indexOfSon(load());
}

void KSampleSetting::setLoadInd(int ind)
{
    m_load = static_cast<KLoad*>(m_loads->ReadSon(ind));
}

void KSampleSetting::selectFirstLoad()
{
    m_load = static_cast<KLoad*>(m_loads->sonOrFirst(0));
}

bool KSampleSetting::startSample()
{
    auto* blade = qobject_cast<KBlade*>(parent());
    if ((!m_exportFVM && !m_exportFEM) || !blade)
        return true;
    // An empty folder would put the blades at the root of the file system.
    if (m_samFolder.isEmpty() || !QFileInfo(m_samFolder).isDir()) {
        outLine(QStringLiteral("KSampleSetting - startSample: no folder \"%1\" to export the blades to").arg(m_samFolder));
        return false;
    }
    std::mt19937_64 engine(std::random_device{}());
    const QString name = KFile::safeFileName(blade->bladeName());
    const bool ansys = blade->anaSet() && blade->anaSet()->type() == KAnalysis::Ansys;
    const int loadCase = loadInd();
    const QString fp = blade->fp();
    const bool hadFp = blade->hasFP();
    ParameterList* parameters = blade->parameterList();
    for (int i = 1; i <= m_samNum; ++i) {
        const QString base = m_samFolder + QLatin1Char('/') + name + QLatin1Char('-') + QString::number(i);
        parameters->sampleAll(engine);
        if (m_exportFVM) {
            blade->setFp(base + QStringLiteral(".fvm"));
            blade->writeFile();
        }
        if (m_exportFEM) {
            blade->genFEModel();
            if (ansys && blade->feModel() && loadCase >= 0)
                AnsysCmd(blade->feModel()).BuildFullInp(base + QStringLiteral(".bat"), loadCase);
        }
    }
    blade->setFp(fp);
    blade->setHasFP(hadFp);
    return true;
}

void KSampleSetting::readBinary(QDataStream& in)
{
    beginResetModel();
    m_samFolder = Binary::readString(in);
    m_samNum = Binary::readInt(in);
    m_exportFVM = Binary::readFlag(in);
    m_exportFEM = Binary::readFlag(in);
    m_load = static_cast<KLoad*>(m_loads->referredSon(Binary::readInt(in), QStringLiteral("the sample setting")));
    endResetModel();
}

void KSampleSetting::addUses(QList<SonUse>& uses) const
{
    uses.append({load(), QStringLiteral("the sample setting")});
}

void KSampleSetting::writeBinary(QDataStream& out) const
{
    Binary::writeString(out, m_samFolder);
    Binary::writeInt(out, m_samNum);
    Binary::writeFlag(out, m_exportFVM);
    Binary::writeFlag(out, m_exportFEM);
    Binary::writeInt(out, loadInd());
}

} // namespace Folvane
