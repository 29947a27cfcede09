#ifndef FTOPTIONS_H
#define FTOPTIONS_H

// How chi(R) is made from chi(k): the plain sums over the points, or the
// standard transform with a k weight, a Hanning window and the normalisation
// dk / sqrt(pi) (see StandardTransform).
struct FtOptions
{
    bool standard = false;
    int kWeight = 2; // 0 to 3
    double dk = 1.0; // window sill in 1/Angstrom; 0 is a box window
};

// Everything one transform was made with; a Chi keeps it, so that its chi(R)
// can be made again with another k weight.
struct TransformArgs
{
    double kMin = 0.0;
    double kMax = 0.0;
    double rMin = 0.0;
    double rMax = 0.0;
    double rDelta = 0.0;
    FtOptions ft;
};

// How a job is held against a measured curve (see Agreement): the k weight
// of both figures and the R range of the one in R, in Angstrom.
struct FitOptions
{
    int kWeight = 2; // 0 to 3
    double rMin = 1.0;
    double rMax = 3.0;
    double pathRMax = 5.0; // FIT_PATH_RMAX: the path fit's longest reff, A
    int maxPaths = 20;     // FIT_PATHS: the path fit's strongest paths kept
};

#endif
