// Evaluate a spectrum of the NiOx test specimen with the X-ray utilities plug-in.
// Run it from DigitalMicrograph's script window once ZorXrayUtils.dll is installed.

Result("X-ray utilities " + Zor_XrayUtilsVersion() + "\n")

string path
if (!OpenDialog(path)) exit(0)

// The EMSA/MAS file becomes a calibrated spectrum image with its metadata as tags.
image spectrum := Zor_EMSAtoDM(path)
ShowImage(spectrum)

// All seven evaluations on a 50 nm NiOx film; the fitted Ni Ka Gaussian comes back in fit.
number filmThickness = 50
image fit
string report = Zor_NiOx(spectrum, 1, 1, 1, 1, 1, 1, 1, filmThickness, fit)
Result(report)
ShowImage(fit)
