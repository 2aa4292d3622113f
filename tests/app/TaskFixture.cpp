#include "TaskFixture.h"

DeviceKeyTable CustomTable(bool marked) {
    DeviceKeyTable t = FactoryKeyTable();
    t.slots[10] = {{KindKey, 0x05, 0, 0}};
    t.slots[37] = {{KindKey, 0x04, 0, 0}};
    t.slots[kMarkSlot] = marked ? KeyEntry{{KindMark, 0xFF, 0x12, 0x34}} : KeyEntry{{KindMark, 0x00, 0, 0}};
    return t;
}
