// Every unit of the shipped conversion files against its definition: an
// amount of the unit is worth the value its defining source gives in the
// file's reference unit (the SI Brochure, NIST SP 811 and Handbook 44, the
// CLDR units data, the others each file names), and that value entered in
// the reference unit gives the amount back. The values are written here from
// those definitions, not taken from the program. Currencies have rates and
// time zones have rules, not definitions: their own tests check them.

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "document/document.h"
#include "engine/expression_engine.h"
#include "engine/number_format.h"
#include "tests/data/shipped_data.h"

using namespace pq;
using namespace pq::test;

namespace {

const double pi = std::acos(-1.0);
const double e = std::exp(1.0);

struct Definition {
    const char16_t* unit;
    double amount;
    double inReference; // the amount of the unit, in the reference unit
};

struct FileDefinitions {
    const char* file;
    const char16_t* reference;
    std::vector<Definition> units;
};

// Linear units are given for 1; the others for amounts that show their
// formula, two where an offset or a logarithm needs a second point.
const FileDefinitions kDefinitions[] = {
    {"Length.cnv", u"m",
     {{u"km", 1, 1000}, {u"mil_sc", 1, 10000}, {u"m", 1, 1}, {u"dm", 1, 0.1},
      {u"cm", 1, 0.01}, {u"mm", 1, 0.001}, {u"um", 1, 1e-6}, {u"nm", 1, 1e-9},
      {u"pm", 1, 1e-12}, {u"angstrom", 1, 1e-10}, {u"mi", 1, 1609.344},
      {u"mi_US", 1, 1609.3472186944373}, {u"yd", 1, 0.9144}, {u"ft", 1, 0.3048},
      {u"ft_US", 1, 0.3048006096012192}, {u"in", 1, 0.0254}, {u"ft_in", 1, 0.3048},
      {u"thou", 1, 0.0000254}, {u"hand", 1, 0.1016}, {u"fathom", 1, 1.8288},
      {u"rod", 1, 5.0292}, {u"chain", 1, 20.1168}, {u"furlong", 1, 201.168},
      {u"nmi", 1, 1852}, {u"R_earth", 1, 6378100}, {u"R_sun", 1, 695700000},
      {u"au", 1, 149597870700}, {u"ly", 1, 9460730472580800},
      {u"pc", 1, 648000 / pi * 149597870700}}},
    {"Weight.cnv", u"kg",
     {{u"t", 1, 1000}, {u"kg", 1, 1}, {u"g", 1, 0.001}, {u"mg", 1, 1e-6}, {u"ug", 1, 1e-9},
      {u"lb", 1, 0.45359237}, {u"oz", 1, 0.028349523125}, {u"lb_oz", 1, 0.45359237},
      {u"st", 1, 6.35029318}, {u"st_lb", 1, 6.35029318}, {u"ton_US", 1, 907.18474},
      {u"ton_UK", 1, 1016.0469088}, {u"cwt_US", 1, 45.359237}, {u"cwt_UK", 1, 50.80234544},
      {u"gr", 1, 0.00006479891}, {u"ozt", 1, 0.0311034768}, {u"ct", 1, 0.0002},
      {u"slug", 1, 14.593902937206364}, {u"Da", 1, 1.66053906660e-27},
      {u"M_earth", 1, 5.9722e24}, {u"M_sun", 1, 1.98847e30}}},
    {"Temperature.cnv", u"degC",
     {{u"degC", 1, 1}, {u"degF", 212, 100}, {u"degF", 32, 0}, {u"K", 0, -273.15},
      {u"K", 273.15, 0}, {u"degR", 491.67, 0}, {u"degR", 0, -273.15}, {u"degRe", 80, 100},
      {u"degRe", -8, -10}}},
    {"Area.cnv", u"m2",
     {{u"km2", 1, 1e6}, {u"ha", 1, 10000}, {u"a", 1, 100}, {u"dunam", 1, 1000}, {u"m2", 1, 1},
      {u"cm2", 1, 1e-4}, {u"mm2", 1, 1e-6}, {u"mi2", 1, 2589988.110336},
      {u"ac", 1, 4046.8564224}, {u"ac_US", 1, 4046.872609874252}, {u"yd2", 1, 0.83612736},
      {u"ft2", 1, 0.09290304}, {u"in2", 1, 0.00064516}}},
    {"Volume.cnv", u"L",
     {{u"m3", 1, 1000}, {u"hL", 1, 100}, {u"L", 1, 1}, {u"dL", 1, 0.1}, {u"cL", 1, 0.01},
      {u"mL", 1, 0.001}, {u"cm3", 1, 0.001}, {u"megalitre", 1, 1e6}, {u"km3", 1, 1e12},
      {u"galUS", 1, 3.785411784}, {u"qtUS", 1, 0.946352946}, {u"ptUS", 1, 0.473176473},
      {u"qtUS_dry", 1, 1.101220942715}, {u"ptUS_dry", 1, 0.5506104713575},
      {u"buUS", 1, 35.23907016688}, {u"cupUS", 1, 0.2365882365},
      {u"flozUS", 1, 0.0295735295625}, {u"galUK", 1, 4.54609}, {u"qtUK", 1, 1.1365225},
      {u"ptUK", 1, 0.56826125}, {u"flozUK", 1, 0.0284130625}, {u"buUK", 1, 36.36872},
      {u"pt_M", 1, 0.5}, {u"yd3", 1, 764.554857984}, {u"ft3", 1, 28.316846592},
      {u"in3", 1, 0.016387064}, {u"bbl", 1, 158.987294928}, {u"ac_ft", 1, 1233481.83754752},
      {u"mi3", 1, 4168181825440.579584}}},
    {"Cooking.cnv", u"mL",
     {{u"mL", 1, 1}, {u"dL", 1, 100}, {u"L", 1, 1000}, {u"drop", 1, 0.05134293326822917},
      {u"pinch", 1, 0.23104319970703125}, {u"tsp", 1, 4.92892159375},
      {u"tbsp", 1, 14.78676478125}, {u"dsp_US", 1, 9.8578431875},
      {u"fldr", 1, 3.6966911953125}, {u"flozUS", 1, 29.5735295625},
      {u"jigger", 1, 44.36029434375}, {u"cup", 1, 236.5882365}, {u"cup_label", 1, 240},
      {u"ptUS", 1, 473.176473}, {u"qtUS", 1, 946.352946}, {u"galUS", 1, 3785.411784},
      {u"tsp_M", 1, 5}, {u"tbsp_M", 1, 15}, {u"dsp_M", 1, 10}, {u"tbsp_AU", 1, 20},
      {u"cup_M", 1, 250}, {u"flozUK", 1, 28.4130625}, {u"dsp_UK", 1, 454609.0 / 38400},
      {u"cupUK", 1, 284.130625}, {u"ptUK", 1, 568.26125}}},
    {"Time.cnv", u"s",
     {{u"ns", 1, 1e-9}, {u"us", 1, 1e-6}, {u"ms", 1, 0.001}, {u"s", 1, 1}, {u"min", 1, 60},
      {u"h", 1, 3600}, {u"hms", 1, 3600}, {u"d", 1, 86400}, {u"dhms", 1, 86400},
      {u"wk", 1, 604800}, {u"fortnight", 1, 1209600}, {u"mo", 1, 2629746},
      {u"yr", 1, 31556952}, {u"decade", 1, 315569520}, {u"century", 1, 3155695200},
      {u"millennium", 1, 31556952000}, {u"yr_J", 1, 31557600}}},
    {"Speed.cnv", u"km_h",
     {{u"km_h", 1, 1}, {u"m_s", 1, 3.6}, {u"mph", 1, 1.609344}, {u"kn", 1, 1.852},
      {u"ft_s", 1, 1.09728}, {u"min_km", 5, 12}, {u"min_mi", 8, 12.07008},
      {u"c", 1, 1079252848.8}}},
    {"Angle.cnv", u"deg",
     {{u"deg", 1, 1}, {u"dms", 1, 1}, {u"rad", 1, 180 / pi}, {u"grad", 1, 0.9},
      {u"turn", 1, 360}, {u"arcmin", 1, 1.0 / 60}, {u"arcsec", 1, 1.0 / 3600},
      {u"mrad", 1, 0.18 / pi}, {u"mil", 1, 0.05625}}},
    {"Pressure.cnv", u"Pa",
     {{u"Pa", 1, 1}, {u"hPa", 1, 100}, {u"kPa", 1, 1000}, {u"MPa", 1, 1e6},
      {u"bar", 1, 100000}, {u"mbar", 1, 100}, {u"atm", 1, 101325}, {u"at", 1, 98066.5},
      {u"psi", 1, 6894.757293168361}, {u"ksi", 1, 6894757.293168361},
      {u"psf", 1, 47.880258980335846}, {u"torr", 1, 20265.0 / 152},
      {u"mmHg", 1, 133.322387415}, {u"inHg", 1, 3386.388640341}, {u"mmH2O", 1, 9.80665},
      {u"cmH2O", 1, 98.0665}, {u"inH2O", 1, 249.08891}}},
    {"Energy.cnv", u"J",
     {{u"J", 1, 1}, {u"kJ", 1, 1000}, {u"MJ", 1, 1e6}, {u"GJ", 1, 1e9}, {u"Wh", 1, 3600},
      {u"kWh", 1, 3.6e6}, {u"MWh", 1, 3.6e9}, {u"cal", 1, 4.184}, {u"kcal", 1, 4184},
      {u"cal_IT", 1, 4.1868}, {u"kcal_IT", 1, 4186.8}, {u"BTU", 1, 1055.05585262},
      {u"BTU_th", 1, 1054.3502644888888}, {u"thm", 1, 105506000},
      {u"thm_US", 1, 105480400}, {u"Dth", 1, 1054804000},
      {u"ft_lbf", 1, 1.3558179483314004}, {u"eV", 1, 1.602176634e-19}, {u"erg", 1, 1e-7},
      {u"tTNT", 1, 4.184e9}}},
    {"Power.cnv", u"W",
     {{u"W", 1, 1}, {u"kW", 1, 1000}, {u"MW", 1, 1e6}, {u"GW", 1, 1e9}, {u"mW", 1, 0.001},
      {u"hp", 1, 745.69987158227022}, {u"hpM", 1, 735.49875}, {u"hpE", 1, 746},
      {u"BTU_h", 1, 0.2930710701722222}, {u"kcal_h", 1, 1.163},
      {u"TR", 1, 3516.8528420666667}, {u"ft_lbf_s", 1, 1.3558179483314004},
      {u"dBm", 30, 1}, {u"dBm", 0, 0.001}, {u"dBW", 10, 10}, {u"dBW", -3, 0.5011872336272722},
      {u"L_sun", 1, 3.828e26}}},
    {"Force.cnv", u"N",
     {{u"N", 1, 1}, {u"kN", 1, 1000}, {u"kgf", 1, 9.80665}, {u"tf", 1, 9806.65},
      {u"lbf", 1, 4.4482216152605}, {u"ozf", 1, 0.2780138509537812},
      {u"kip", 1, 4448.2216152605}, {u"pdl", 1, 0.138254954376}, {u"dyn", 1, 1e-5}}},
    {"FuelConsumption.cnv", u"L_100km",
     {{u"L_100km", 1, 1}, {u"km_L", 20, 5}, {u"km_L", 100, 1}, {u"L_km", 1, 100},
      {u"mpgUS", 1, 235.21458333333334}, {u"mpgUS", 30, 235.21458333333334 / 30},
      {u"mpgUK", 1, 282.48093633182214}, {u"galUS_100mi", 1, 2.352145833333333}}},
    {"ComputerBase.cnv", u"B",
     {{u"dec", 1, 1}, {u"hex", 1, 1}, {u"oct", 1, 1}, {u"bin", 1, 1}, {u"bit", 1, 0.125},
      {u"B", 1, 1}, {u"kB", 1, 1000}, {u"KiB", 1, 1024}, {u"MB", 1, 1e6},
      {u"MiB", 1, 1048576}, {u"GB", 1, 1e9}, {u"GiB", 1, 1073741824}, {u"TB", 1, 1e12},
      {u"TiB", 1, 1099511627776}, {u"PB", 1, 1e15}, {u"PiB", 1, 1125899906842624},
      {u"kb", 1, 125}, {u"Mb", 1, 125000}, {u"Gb", 1, 1.25e8}, {u"Tb", 1, 1.25e11}}},
    {"DataRate.cnv", u"bit_s",
     {{u"bit_s", 1, 1}, {u"kbit_s", 1, 1000}, {u"Mbit_s", 1, 1e6}, {u"Gbit_s", 1, 1e9},
      {u"Tbit_s", 1, 1e12}, {u"B_s", 1, 8}, {u"kB_s", 1, 8000}, {u"MB_s", 1, 8e6},
      {u"GB_s", 1, 8e9}, {u"KiB_s", 1, 8192}, {u"MiB_s", 1, 8388608},
      {u"GiB_s", 1, 8589934592}}},
    {"Frequency.cnv", u"Hz",
     {{u"Hz", 1, 1}, {u"kHz", 1, 1e3}, {u"MHz", 1, 1e6}, {u"GHz", 1, 1e9}, {u"THz", 1, 1e12},
      {u"bpm", 120, 2}}},
    {"RotationalSpeed.cnv", u"rps",
     {{u"rpm", 60, 1}, {u"rps", 1, 1}, {u"rad_s", 2 * pi, 1}, {u"deg_s", 360, 1},
      {u"deg_min", 21600, 1}}},
    {"Torque.cnv", u"N_m",
     {{u"N_m", 1, 1}, {u"kN_m", 1, 1000}, {u"N_cm", 1, 0.01},
      {u"lbf_ft", 1, 1.3558179483314004}, {u"lbf_in", 1, 0.1129848290276167},
      {u"ozf_in", 1, 0.0070615518142260435}, {u"kgf_m", 1, 9.80665},
      {u"kgf_cm", 1, 0.0980665}, {u"dyn_cm", 1, 1e-7}}},
    {"Acceleration.cnv", u"m_s2",
     {{u"m_s2", 1, 1}, {u"gn", 1, 9.80665}, {u"ft_s2", 1, 0.3048}, {u"in_s2", 1, 0.0254},
      {u"km_h_s", 3.6, 1}, {u"mph_s", 1, 0.44704}}},
    {"ElectricCurrent.cnv", u"A",
     {{u"A", 1, 1}, {u"kA", 1, 1000}, {u"mA", 1, 0.001}, {u"uA", 1, 1e-6}, {u"nA", 1, 1e-9}}},
    {"Voltage.cnv", u"V", {{u"V", 1, 1}, {u"kV", 1, 1000}, {u"mV", 1, 0.001}, {u"uV", 1, 1e-6}}},
    {"Resistance.cnv", u"Ohm",
     {{u"Ohm", 1, 1}, {u"kOhm", 1, 1e3}, {u"MOhm", 1, 1e6}, {u"GOhm", 1, 1e9},
      {u"mOhm", 1, 1e-3}, {u"S", 0.5, 2}, {u"S", 4, 0.25}, {u"mS", 1, 1000},
      {u"uS", 1, 1e6}}},
    {"ElectricCharge.cnv", u"C",
     {{u"C", 1, 1}, {u"mC", 1, 0.001}, {u"uC", 1, 1e-6}, {u"Ah", 1, 3600}, {u"mAh", 1, 3.6},
      {u"kAh", 1, 3.6e6}}},
    {"Capacitance.cnv", u"F",
     {{u"F", 1, 1}, {u"mF", 1, 1e-3}, {u"uF", 1, 1e-6}, {u"nF", 1, 1e-9}, {u"pF", 1, 1e-12}}},
    {"Illuminance.cnv", u"lx",
     {{u"lx", 1, 1}, {u"klx", 1, 1000}, {u"fc", 1, 10.763910416709722}, {u"ph", 1, 10000}}},
    {"Luminance.cnv", u"cd_m2",
     {{u"cd_m2", 1, 1}, {u"kcd_m2", 1, 1000}, {u"cd_ft2", 1, 10.763910416709722},
      {u"cd_in2", 1, 1550.0031000062}, {u"fL", 1, 3.4262590996353905},
      {u"La", 1, 10000 / pi}, {u"sb", 1, 10000}}},
    {"LuminousIntensity.cnv", u"cd", {{u"cd", 1, 1}, {u"mcd", 1, 0.001}, {u"kcd", 1, 1000}}},
    {"LuminousFlux.cnv", u"lm", {{u"lm", 1, 1}, {u"klm", 1, 1000}, {u"mlm", 1, 0.001}}},
    {"EquivalentDose.cnv", u"Sv",
     {{u"Sv", 1, 1}, {u"mSv", 1, 0.001}, {u"uSv", 1, 1e-6}, {u"nSv", 1, 1e-9},
      {u"rem", 1, 0.01}, {u"mrem", 1, 1e-5}, {u"urem", 1, 1e-8}}},
    {"AbsorbedDose.cnv", u"Gy",
     {{u"Gy", 1, 1}, {u"mGy", 1, 0.001}, {u"uGy", 1, 1e-6}, {u"rad", 1, 0.01},
      {u"krad", 1, 10}}},
    {"Radioactivity.cnv", u"Bq",
     {{u"Bq", 1, 1}, {u"kBq", 1, 1e3}, {u"MBq", 1, 1e6}, {u"GBq", 1, 1e9}, {u"TBq", 1, 1e12},
      {u"Ci", 1, 3.7e10}, {u"mCi", 1, 3.7e7}, {u"uCi", 1, 3.7e4}, {u"nCi", 1, 37},
      {u"pCi", 1, 0.037}, {u"dpm", 60, 1}}},
    {"Proportion.cnv", u"ratio",
     {{u"ratio", 1, 1}, {u"percent", 1, 0.01}, {u"permille", 1, 0.001},
      {u"permyriad", 1, 1e-4}, {u"ppm", 1, 1e-6}, {u"ppb", 1, 1e-9}, {u"ppt", 1, 1e-12},
      {u"karat", 18, 0.75}, {u"dB_power", 20, 100}, {u"dB_power", 3, 1.9952623149688795},
      {u"dB_amplitude", 20, 10}, {u"dB_amplitude", -6, 0.5011872336272722},
      {u"Np", 1, e}, {u"Np", 0, 1}}},
    {"BloodGlucose.cnv", u"mmol_L",
     {{u"mmol_L", 1, 1}, {u"mg_dL", 100, 5.550744909966918}, {u"mg_dL", 18.0156, 1},
      {u"g_L", 1.80156, 10}}},
    {"Concentration.cnv", u"mol_L",
     {{u"mol_L", 1, 1}, {u"mmol_L", 1, 1e-3}, {u"umol_L", 1, 1e-6}, {u"nmol_L", 1, 1e-9},
      {u"pmol_L", 1, 1e-12}}},
    {"AmountOfSubstance.cnv", u"mol",
     {{u"mol", 1, 1}, {u"kmol", 1, 1e3}, {u"mmol", 1, 1e-3}, {u"umol", 1, 1e-6},
      {u"nmol", 1, 1e-9}, {u"lbmol", 1, 453.59237}, {u"entities", 6.02214076e23, 1}}},
    {"Density.cnv", u"kg_m3",
     {{u"kg_m3", 1, 1}, {u"g_cm3", 1, 1000}, {u"mg_L", 1, 0.001}, {u"mg_dL", 1, 0.01},
      {u"ug_m3", 1, 1e-9}, {u"lb_ft3", 1, 16.018463373960138},
      {u"lb_in3", 1, 27679.90471020312}, {u"oz_in3", 1, 1729.994044387695},
      {u"lb_galUS", 1, 119.82642731689663}, {u"lb_galUK", 1, 45359237.0 / 454609}}},
    {"DynamicViscosity.cnv", u"Pa_s",
     {{u"Pa_s", 1, 1}, {u"mPa_s", 1, 0.001}, {u"P", 1, 0.1},
      {u"lbf_s_ft2", 1, 47.880258980335846}, {u"lb_ft_s", 1, 1.4881639435695537}}},
    {"KinematicViscosity.cnv", u"m2_s",
     {{u"m2_s", 1, 1}, {u"mm2_s", 1, 1e-6}, {u"St", 1, 1e-4}, {u"ft2_s", 1, 0.09290304}}},
    {"Flow.cnv", u"m3_s",
     {{u"m3_s", 1, 1}, {u"m3_h", 3600, 1}, {u"m3_d", 86400, 1}, {u"L_s", 1, 0.001},
      {u"L_min", 60, 0.001}, {u"L_h", 3600, 0.001}, {u"mL_min", 60, 1e-6},
      {u"ML_d", 86.4, 1}, {u"galUS_min", 1, 6.30901964e-5},
      {u"galUS_h", 1, 1.0515032733333334e-6}, {u"galUK_min", 1, 7.576816666666667e-5},
      {u"ft3_min", 1, 0.0004719474432}, {u"ft3_s", 1, 0.028316846592},
      {u"bbl_d", 1, 1.8401307283333333e-6}}},
    {"ElectricConsumption.cnv", u"kWh_100km",
     {{u"kWh_100km", 1, 1}, {u"Wh_km", 150, 15}, {u"kWh_100mi", 1, 0.621371192237334},
      {u"Wh_mi", 1, 0.0621371192237334}, {u"km_kWh", 5, 20}, {u"km_kWh", 8, 12.5},
      {u"mi_kWh", 4, 15.53427980593335}, {u"MPGe", 100, 20.94331603435934}}},
    {"Typography.cnv", u"in",
     {{u"in", 1, 1}, {u"mm", 25.4, 1}, {u"cm", 2.54, 1}, {u"pt", 72, 1}, {u"pica", 6, 1},
      {u"px", 96, 1}, {u"em", 6, 1}, {u"twip", 1440, 1}, {u"Q", 101.6, 1},
      {u"pt_TeX", 72.27, 1}, {u"pt_US", 1, 0.013837}}},
    {"PixelDensity.cnv", u"ppi",
     {{u"ppi", 1, 1}, {u"ppcm", 1, 2.54}, {u"pitch_mm", 0.254, 100}, {u"pitch_mm", 0.1, 254},
      {u"pitch_um", 254, 100}}},
    {"ImageSize.cnv", u"pixel",
     {{u"pixel", 1, 1}, {u"kpx", 1, 1e3}, {u"MP", 1, 1e6}, {u"GP", 1, 1e9}}},
};

} // namespace

TEST(ShippedUnits, EveryUnitHasTheValueOfItsDefinition) {
    std::set<std::string> checked{"Currency.cnv", "TimeZones.cnv"};
    ExpressionEngine engine;
    for (const FileDefinitions& file : kDefinitions) {
        SCOPED_TRACE(file.file);
        EXPECT_TRUE(checked.insert(file.file).second);
        auto document = load(file.file);
        ASSERT_NE(document, nullptr);
        Item* reference = find(*document, file.reference);
        ASSERT_NE(reference, nullptr);
        std::set<std::u16string> defined, units;
        for (const auto& item : document->items) units.insert(std::u16string(item->identifier));
        for (const Definition& d : file.units) {
            SCOPED_TRACE(utf8(d.unit) + " " + testing::PrintToString(d.amount));
            defined.insert(d.unit);
            Item* unit = find(*document, d.unit);
            ASSERT_NE(unit, nullptr);
            enter(*document, *unit, d.amount, engine);
            ASSERT_EQ(reference->state, ValueState::Valid);
            EXPECT_TRUE(nearlyEqual(reference->value, d.inReference));
            enter(*document, *reference, d.inReference, engine);
            ASSERT_EQ(unit->state, ValueState::Valid);
            EXPECT_TRUE(nearlyEqual(unit->value, d.amount));
        }
        EXPECT_EQ(defined, units); // every unit of the file has its definition here
    }
    for (const char* name : kShippedFiles) {
        if (!isCalculationFile(name)) {
            EXPECT_EQ(checked.count(name), 1u) << name;
        }
    }
}

// Two units that show the same number for every value are one unit under two
// names; only the pairs below are kept on purpose. Currencies pegged one to
// one (the CFA francs) are different money, and time zones of one offset
// differ in their rules: those files are left out.
TEST(ShippedUnits, NoTwoUnitsOfAFileAreOneUnitUnderTwoNames) {
    const std::set<std::pair<std::string, std::u16string>> kept = {
        {"Volume.cnv", u"mL cm3"},      // the cubic centimetre of engines and syringes
        {"Pressure.cnv", u"hPa mbar"},   // the weather's two names for one unit
        {"ComputerBase.cnv", u"dec B"},  // the number in decimal, read as bytes
        {"Typography.cnv", u"pica em"},  // the em of a 16 px font is a pica
    };
    ExpressionEngine engine;
    for (const char* name : kShippedFiles) {
        const std::string file = name;
        if (isCalculationFile(file) || file == "TimeZones.cnv" || file == "Currency.cnv") continue;
        SCOPED_TRACE(name);
        auto document = load(name);
        ASSERT_NE(document, nullptr);
        auto& units = document->items;
        // The values of each unit for two different quantities.
        std::vector<std::pair<double, double>> values(units.size());
        for (double amount : {1.5, 7.25}) {
            enter(*document, *units.front(), amount, engine);
            for (size_t i = 0; i < units.size(); ++i)
                (amount == 1.5 ? values[i].first : values[i].second) = units[i]->value;
        }
        for (size_t a = 0; a < units.size(); ++a) {
            for (size_t b = a + 1; b < units.size(); ++b) {
                const Item& x = *units[a];
                const Item& y = *units[b];
                // Other notations of one unit (feet and inches, hexadecimal)
                // are not other names.
                if (x.format.displayFormat != y.format.displayFormat) continue;
                if (!nearlyEqual(values[a].first, values[b].first, 1e-10) ||
                    !nearlyEqual(values[a].second, values[b].second, 1e-10))
                    continue;
                const std::u16string pair = std::u16string(x.identifier.view()) + u" " +
                                            std::u16string(y.identifier.view());
                EXPECT_TRUE(kept.count({name, pair})) << utf8(pair);
            }
        }
    }
}
