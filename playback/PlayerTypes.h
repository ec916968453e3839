#pragma once

#include "script/Errors.h"

namespace framequill {

// The buttons of the player's bar, in their order; the last two are never shown.
enum class MPBtnType { btPlay, btPause, btStop, btNext, btPrev, btStep, btBack, btRecord, btEject };

enum class MPModes { mpNotReady, mpStopped, mpPlaying, mpRecording, mpSeeking, mpPaused, mpOpen };

// Where the picture lies in the display: Left and Top are its corner, Right and Bottom its width and
// height.
struct PictureRectangle {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// A failure of the media system, with its own description.
class EMCIDeviceError : public Error {
public:
    using Error::Error;
};

} // namespace framequill
