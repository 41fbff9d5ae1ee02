#include "sim/command_table.h"

namespace ptk::sim {

CommandTable makeCommandTable() {
    CommandTable table;
    registerBasicCommands(table);
    registerStatusCommands(table);
    registerSalesCommands(table);
    registerTableCommands(table);
    registerFiscalMemoryCommands(table);
    return table;
}

}  // namespace ptk::sim
