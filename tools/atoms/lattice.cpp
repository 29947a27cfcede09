#include "lattice.h"

#include <cmath>

Lattice::Lattice(const CellParameters &cell)
{
    const double rad = std::acos(-1.0) / 180;
    const double ca = std::cos(cell.alpha * rad), cb = std::cos(cell.beta * rad),
                 cg = std::cos(cell.gamma * rad);
    const double sa = std::sin(cell.alpha * rad), sb = std::sin(cell.beta * rad),
                 sg = std::sin(cell.gamma * rad);
    const double radicand = 1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg;
    if (!(cell.a > 0 && cell.b > 0 && cell.c > 0) || !(radicand > 1e-8) || !(sg > 1e-6))
        return;
    const double volume = cell.a * cell.b * cell.c * std::sqrt(radicand);
    m_m[0][0] = cell.a;
    m_m[0][1] = cell.b * cg;
    m_m[0][2] = cell.c * cb;
    m_m[1][1] = cell.b * sg;
    m_m[1][2] = cell.c * (ca - cb * cg) / sg;
    m_m[2][2] = volume / (cell.a * cell.b * sg);
    m_reciprocal = {cell.b * cell.c * sa / volume, cell.a * cell.c * sb / volume,
                    cell.a * cell.b * sg / volume};
    m_valid = std::isfinite(volume);
}

Vec3 Lattice::toCartesian(const Vec3 &f) const
{
    return {m_m[0][0] * f[0] + m_m[0][1] * f[1] + m_m[0][2] * f[2],
            m_m[1][1] * f[1] + m_m[1][2] * f[2], m_m[2][2] * f[2]};
}
