#include "app/bridge/viewer_commands.h"

namespace zaprelay::bridge {

const std::array<const char*, kMyTheatreRows>& BuiltInMyTheatreCommands() {
    static const std::array<const char*, kMyTheatreRows> names = {
        "VolUp",
        "VolDown",
        "0",
        "1",
        "2",
        "3",
        "4",
        "5",
        "6",
        "7",
        "8",
        "9",
        "Power",
        "ChannelOrFileList",
        "EPG",
        "FullScreen",
        "LastSeen",
        "NextNumChannel",
        "PrevNumChannel",
        "NextChannelOrUp",
        "PrevChannelOrDown",
        "VolDownOrLeft",
        "VolUpOrRight",
        "PlayOrSelect",
        "Restart",
        "Record",
        "Mute",
        "SwitchToLiveView",
        "SwitchToPlay",
        "Cancel",
        "Tab",
        "Start MyTheatre ",
        "ShutDown Windows",
    };
    return names;
}

TViewerCommand ViewerCommand(const std::string& prog, int row, const std::string& name) {
    if (prog != kMyTheatre) {
        return {" /" + name, false};
    }
    switch (row) {
        case kStartViewerRow:
            return {"", false};
        case kShutdownRow:
            return {" /remote Power", true};
        default:
            return {" /remote " + name, false};
    }
}

}  // namespace zaprelay::bridge
