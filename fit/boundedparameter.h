#ifndef BOUNDEDPARAMETER_H
#define BOUNDEDPARAMETER_H

#include <cmath>

// A parameter kept between two bounds the way the reference fit's minimiser
// keeps it: the minimiser moves a free internal value u, and the parameter is
//   value = lower + (sin(u) + 1) * (upper - lower) / 2,
// so every u maps inside the bounds and the bounds are reached where the sine
// is at +-1.
struct BoundedParameter
{
    double lower;
    double upper;

    double toInternal(double value) const
    {
        const double x = 2.0 * (value - lower) / (upper - lower) - 1.0;
        return std::asin(x < -1.0 ? -1.0 : (x > 1.0 ? 1.0 : x));
    }
    double toExternal(double internal) const
    {
        return lower + (std::sin(internal) + 1.0) * (upper - lower) / 2.0;
    }
    // d value / d internal, for the chain rule of the Jacobian.
    double gradient(double internal) const { return std::cos(internal) * (upper - lower) / 2.0; }
    // Within a thousandth of the range of either bound: the minimiser stops
    // short of a bound the fit pushes against by less than that.
    bool atBound(double value) const
    {
        const double margin = 1e-3 * (upper - lower);
        return value - lower <= margin || upper - value <= margin;
    }
};

#endif
