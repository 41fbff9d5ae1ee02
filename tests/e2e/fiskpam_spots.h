#pragma once

namespace ptk::e2e {

// Where the fiscal-memory form's controls are, in fractions of its client area, as the form lays
// itself out on the virtual display (the test's fonts, no window manager). The end-to-end test
// and the benchmark click them with xdotool.
struct Spot {
    double x;
    double y;
};
inline constexpr Spot kSerialNumberPage{0.156, 0.071};
inline constexpr Spot kRegistrationPage{0.469, 0.071};
inline constexpr Spot kReportPage{0.692, 0.071};
inline constexpr Spot kRangePage{0.808, 0.071};
inline constexpr Spot kSerialNumberEdit{0.499, 0.233};
inline constexpr Spot kProgramButton{0.869, 0.319};
inline constexpr Spot kRegistrationNumberEdit{0.370, 0.233};
inline constexpr Spot kTaxpayerNumberEdit{0.370, 0.319};
inline constexpr Spot kPasswordEdit{0.370, 0.405};
inline constexpr Spot kRegisterButton{0.397, 0.767};
inline constexpr Spot kByShiftPage{0.242, 0.178};
inline constexpr Spot kFirstShiftEdit{0.705, 0.316};
inline constexpr Spot kLastShiftEdit{0.705, 0.457};
inline constexpr Spot kReportButton{0.907, 0.604};
inline constexpr Spot kQueryButton{0.090, 0.172};
inline constexpr Spot kStopButton{0.105, 0.911};

}  // namespace ptk::e2e
