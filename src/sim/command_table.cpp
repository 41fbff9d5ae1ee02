#include "sim/command_table.h"

namespace ptk::sim {

CommandTable makeCommandTable() {
    CommandTable table;
    registerBasicCommands(table);
    registerStatusCommands(table);
    registerSalesCommands(table);
    registerTableCommands(table);
    registerFiscalMemoryCommands(table);
    registerEmergencyCommands(table);
    registerEklzCommands(table);
    return table;
}

}  // namespace ptk::sim
