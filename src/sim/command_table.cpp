#include "sim/command_table.h"

namespace ptk::sim {

CommandTable makeCommandTable() {
    CommandTable table;
    registerBasicCommands(table);
    return table;
}

}  // namespace ptk::sim
