#ifndef FOLVANE_PARAMETER_H
#define FOLVANE_PARAMETER_H

#include "core/kobject.h"

#include <cstdint>
#include <random>

namespace Folvane {

// A named design number with an optimiser range on a decimal grid and a
// sampling distribution.
class Parameter : public KObject
{
    Q_OBJECT
    Q_PROPERTY(double Value READ value WRITE setValue NOTIFY ValueChanged)
    Q_PROPERTY(double DigitNum READ digitNum WRITE setDigitNum NOTIFY DigitNumChanged)
    Q_PROPERTY(double Low READ low WRITE setLow NOTIFY LowChanged)
    Q_PROPERTY(double High READ high WRITE setHigh NOTIFY HighChanged)
    Q_PROPERTY(double Target READ target WRITE setTarget NOTIFY TargetChanged)
    Q_PROPERTY(bool IsSampled READ isSampled WRITE setIsSampled NOTIFY IsSampledChanged)
    Q_PROPERTY(bool IsOpt READ isOpt WRITE setIsOpt NOTIFY IsOptChanged)
    Q_PROPERTY(Distribution DisType READ disType WRITE setDisType NOTIFY DisTypeChanged)
    Q_PROPERTY(double Par1 READ par1 WRITE setPar1 NOTIFY Par1Changed)
    Q_PROPERTY(double Par2 READ par2 WRITE setPar2 NOTIFY Par2Changed)

public:
    enum Distribution : int { StdNorm = 0, LogNorm = 1, Uniform = 2, Weibull = 3, Gamma = 4, Exponential = 5, Poisson = 6 };
    Q_ENUM(Distribution)

    explicit Parameter(QObject* parent = nullptr);
    Parameter(QDataStream& in, QObject* parent);

    double value() const { return m_value; }
    void setValue(double v) { m_value = v; }
    double digitNum() const { return m_digitNum; }
    void setDigitNum(double v) { m_digitNum = v; }
    double low() const { return m_low; }
    void setLow(double v) { m_low = v; }
    double high() const { return m_high; }
    void setHigh(double v) { m_high = v; }
    double target() const { return m_target; }
    void setTarget(double v) { m_target = v; }
    bool isSampled() const { return m_isSampled; }
    void setIsSampled(bool v) { m_isSampled = v; }
    bool isOpt() const { return m_isOpt; }
    void setIsOpt(bool v) { m_isOpt = v; }
    Distribution disType() const { return m_disType; }
    void setDisType(Distribution v) { m_disType = v; }
    double par1() const { return m_par1; }
    void setPar1(double v) { m_par1 = v; }
    double par2() const { return m_par2; }
    void setPar2(double v) { m_par2 = v; }

    void sample(std::mt19937_64& engine);
    // Grid points per unit: the optimiser steps by 10^-DigitNum.
    double gridScale() const;
    void writeBinary(QDataStream& out) const override;

    // Bytes of the smallest record.
    static constexpr qint64 RecordBytes = 8 + 3 * 8 + 2 * 4 + 2 + 2 * 8;

signals:
    void ValueChanged();
    void DigitNumChanged();
    void LowChanged();
    void HighChanged();
    void TargetChanged();
    void IsSampledChanged();
    void IsOptChanged();
    void DisTypeChanged();
    void Par1Changed();
    void Par2Changed();

private:
    double m_value = 1.0;
    double m_low = 0.0;
    double m_high = 1.0;
    double m_target = 0.0;
    double m_digitNum = 0.0;
    Distribution m_disType = StdNorm;
    bool m_isSampled = false;
    bool m_isOpt = false;
    double m_par1 = 0.0;
    double m_par2 = 0.0;
};

} // namespace Folvane

#endif
