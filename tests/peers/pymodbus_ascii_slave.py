"""A pymodbus Modbus ASCII slave on a serial device, for the interoperation tests.

Holding registers 0..9999, register a starting with the value a; one node address.
Usage: python3 pymodbus_ascii_slave.py DEVICE NODE
It ends by itself after two minutes so that a crashed test leaves nothing behind.
"""
import signal
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartSerialServer
from pymodbus.transaction import ModbusAsciiFramer


def main():
    device, node = sys.argv[1], int(sys.argv[2])
    signal.alarm(120)
    block = ModbusSequentialDataBlock(0, list(range(10000)))
    slave = ModbusSlaveContext(hr=block, zero_mode=True)
    context = ModbusServerContext(slaves={node: slave}, single=False)
    print("READY", flush=True)
    # A pseudo-terminal refuses 7 data bits and parity (the kernel keeps it at 8N1), so the
    # peer takes the defaults; the characters of ASCII framing are 7-bit anyway.
    StartSerialServer(context=context, framer=ModbusAsciiFramer, port=device, baudrate=19200)


if __name__ == "__main__":
    main()
