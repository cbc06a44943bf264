#include "solver/cmd.h"

#include "core/messages.h"
#include "core/textbuffer.h"
#include "fem/model.h"


namespace Folvane {

Cmd::Cmd(Model* model)
    : m_model(model)
{
    if (m_model)
        m_model->nameForDecks();
}

Cmd::~Cmd() = default;

bool Cmd::BuildGeoInp(const QString& path)
{
    return writeDeck(path, false, 0, "Cmd::BuildGeoInp");
}

bool Cmd::BuildFullInp(const QString& path, int loadCase)
{
    return writeDeck(path, true, loadCase, "Cmd::BuildFullInp");
}

bool Cmd::writeElementsByShape(TextBuffer& out, const char* quadCard, const char* triCard,
                               void (Element::*write)(TextBuffer&) const) const
{
    const ElementList& elements = m_model->elements();
    bool anyTriangle = false;
    out << quadCard;
    elements.forEach([&](const Element& e) {
        if (e.kind() == Element::QuadKind)
            (e.*write)(out);
        else
            anyTriangle = true;
    });
    if (anyTriangle) {
        out << triCard;
        elements.forEach([&](const Element& e) {
            if (e.kind() == Element::TriKind)
                (e.*write)(out);
        });
    }
    return anyTriangle;
}

bool Cmd::writeDeck(const QString& path, bool full, int loadCase, const char* operation)
{
    const bool written = saveText(path, [&](TextBuffer& deck) {
        BuildInp(deck, full, loadCase);
        deck << '\n';
    });
    if (!written)
        outLine(QLatin1String(operation) + QStringLiteral(" - Cannot write to ") + path);
    return written;
}

} // namespace Folvane
