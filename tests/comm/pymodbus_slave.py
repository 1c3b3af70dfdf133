"""A Modbus RTU slave that this project did not write, for the interop test.

Usage: pymodbus_slave.py serial DEVICE | tcp PORT
Slave 5; holding register r holds 1000 + r, input register r holds 2000 + r.
"""
import sys

from pymodbus.datastore import ModbusSequentialDataBlock, ModbusServerContext, ModbusSlaveContext
from pymodbus.server import StartSerialServer, StartTcpServer
from pymodbus.transaction import ModbusRtuFramer


def main():
    mode, where = sys.argv[1], sys.argv[2]
    slave = ModbusSlaveContext(
        hr=ModbusSequentialDataBlock(0, [1000 + r for r in range(100)]),
        ir=ModbusSequentialDataBlock(0, [2000 + r for r in range(100)]),
        zero_mode=True,
    )
    context = ModbusServerContext(slaves={5: slave}, single=False)
    print("ready", flush=True)
    if mode == "serial":
        StartSerialServer(context=context, framer=ModbusRtuFramer, port=where, baudrate=9600, stopbits=2)
    else:
        StartTcpServer(context=context, framer=ModbusRtuFramer, address=("127.0.0.1", int(where)))


main()
