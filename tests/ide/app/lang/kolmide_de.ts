<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1">
<context>
    <name>Probe</name>
    <message>
        <source>catalogue</source>
        <translation>kolmide de</translation>
    </message>
</context>
</TS>
