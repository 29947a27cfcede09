#ifndef PATHPARAMETERS_H
#define PATHPARAMETERS_H

// The parameters of one scattering path in the EXAFS equation. A plain value:
// the fit varies copies of it.
struct PathParameters
{
    double s02 = 1.0;    // amplitude factor S0^2 (a site weight multiplies into it)
    double de0 = 0.0;    // energy shift dE0, eV
    double sigma2 = 0.0; // sigma^2, A^2
    double deltaR = 0.0; // dR, A
    double third = 0.0;  // third cumulant C3, A^3
    double ei = 0.0;     // imaginary energy, eV
};

#endif
