<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US">
<context>
    <name>AddressTable</name>
    <message>
        <source>Add</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Mot Ver</source>
        <translation>Motor ver.</translation>
    </message>
    <message>
        <source>IO Ver</source>
        <translation>I/O ver.</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Model</translation>
    </message>
</context>
<context>
    <name>BusOverviewPanel</name>
    <message>
        <source>e.g. 1,2,5 (empty: the selected drive only)</source>
        <translation>e.g. 1,2,5 (empty: the selected drive only)</translation>
    </message>
    <message>
        <source>Drives to watch on this line, besides the selected one. Tick drives in the address table, or type their addresses.</source>
        <translation>Drives to watch on this line, besides the selected one. Tick drives in the address table, or type their addresses.</translation>
    </message>
    <message>
        <source>Double-click a drive to select it</source>
        <translation>Double-click a drive to select it</translation>
    </message>
    <message>
        <source>Poll list:</source>
        <translation>Poll list:</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Address</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Model</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Age</translation>
    </message>
    <message>
        <source>Failures</source>
        <translation>Failures</translation>
    </message>
    <message>
        <source>%1 s</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>ConnectionGate</name>
    <message>
        <source>Not connected: the value was not written</source>
        <translation>Not connected: the value was not written</translation>
    </message>
    <message>
        <source>Not connected: the password was not sent</source>
        <translation>Not connected: the password was not sent</translation>
    </message>
    <message>
        <source>Not connected: the Secondary Graph request was not sent</source>
        <translation>Not connected: the Secondary Graph request was not sent</translation>
    </message>
    <message>
        <source>Not connected: the firmware was not sent</source>
        <translation>Not connected: the firmware was not sent</translation>
    </message>
</context>
<context>
    <name>ConnectionStatusWidget</name>
    <message>
        <source>no port</source>
        <translation>no port</translation>
    </message>
    <message>
        <source>address %1</source>
        <translation>address %1</translation>
    </message>
    <message>
        <source>connecting...</source>
        <translation>connecting...</translation>
    </message>
    <message>
        <source>access %1</source>
        <translation>access %1</translation>
    </message>
    <message>
        <source>last reply %1</source>
        <translation>last reply %1</translation>
    </message>
    <message>
        <source>connected</source>
        <translation>connected</translation>
    </message>
    <message>
        <source>disconnected</source>
        <translation>disconnected</translation>
    </message>
    <message>
        <source>Modbus TCP</source>
        <translation>Modbus TCP</translation>
    </message>
</context>
<context>
    <name>DataLogReader</name>
    <message>
        <source>%1 not a data line</source>
        <translation>%1 not a data line</translation>
    </message>
    <message>
        <source>%1 out of time order</source>
        <translation>%1 out of time order</translation>
    </message>
    <message>
        <source>the last line cut short (no line end)</source>
        <translation>the last line cut short (no line end)</translation>
    </message>
    <message>
        <source>1 line skipped: %1</source>
        <translation>1 line skipped: %1</translation>
    </message>
    <message>
        <source>%1 lines skipped: %2</source>
        <translation>%1 lines skipped: %2</translation>
    </message>
</context>
<context>
    <name>DbTarget</name>
    <message>
        <source>&apos;%1&apos;: &apos;%2&apos; is not a connection keyword</source>
        <translation>&apos;%1&apos;: &apos;%2&apos; is not a connection keyword</translation>
    </message>
    <message>
        <source>&apos;%1&apos; holds a password: keep it in ~/.pgpass or PGPASSWORD instead</source>
        <translation>&apos;%1&apos; holds a password: keep it in ~/.pgpass or PGPASSWORD instead</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the value of %2 may not hold &apos;;&apos;</source>
        <translation>&apos;%1&apos;: the value of %2 may not hold &apos;;&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no server: write postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; names no server: write postgresql://USER@HOST:PORT/DBNAME</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no database: write postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; names no database: write postgresql://USER@HOST:PORT/DBNAME</translation>
    </message>
    <message>
        <source>&apos;%1&apos; holds a name that is not text</source>
        <translation>&apos;%1&apos; holds a name that is not text</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no file: write sqlite:PATH</source>
        <translation>&apos;%1&apos; names no file: write sqlite:PATH</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a database URL: write sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; is not a database URL: write sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names a server address that cannot be used: write a host name, an IPv4 or an IPv6 address</source>
        <translation>&apos;%1&apos; names a server address that cannot be used: write a host name, an IPv4 or an IPv6 address</translation>
    </message>
</context>
<context>
    <name>Endpoint</name>
    <message>
        <source>&apos;%1&apos;: only serial devices and tcp://HOST[:PORT] are known</source>
        <translation>&apos;%1&apos;: only serial devices and tcp://HOST[:PORT] are known</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write tcp://HOST or tcp://HOST:PORT</source>
        <translation>&apos;%1&apos;: write tcp://HOST or tcp://HOST:PORT</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write an IPv6 address in brackets, tcp://[ADDRESS]:PORT</source>
        <translation>&apos;%1&apos;: write an IPv6 address in brackets, tcp://[ADDRESS]:PORT</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the zone of an IPv6 address is an interface name or number</source>
        <translation>&apos;%1&apos;: the zone of an IPv6 address is an interface name or number</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the TCP port must be 1 to 65535</source>
        <translation>&apos;%1&apos;: the TCP port must be 1 to 65535</translation>
    </message>
    <message>
        <source>serial port %1</source>
        <translation>serial port %1</translation>
    </message>
    <message>
        <source>Modbus TCP gateway %1 port %2</source>
        <translation>Modbus TCP gateway %1 port %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write a host name, an IPv4 address or an IPv6 address</source>
        <translation>&apos;%1&apos;: write a host name, an IPv4 address or an IPv6 address</translation>
    </message>
</context>
<context>
    <name>FlashSequence</name>
    <message>
        <source>The model number must be defined to send the update!</source>
        <translation>The model number must be defined to send the update!</translation>
    </message>
    <message>
        <source>Selected file: %1 can&apos;t be opened</source>
        <translation>Selected file: %1 can&apos;t be opened</translation>
    </message>
    <message>
        <source>Selected file: %1 is neither a motor nor a user firmware (the file name must contain &quot;motor&quot; or &quot;user&quot;)</source>
        <translation>Selected file: %1 is neither a motor nor a user firmware (the file name must contain &quot;motor&quot; or &quot;user&quot;)</translation>
    </message>
    <message>
        <source>Selected file: %1 can&apos;t be flashed: its size (%2 bytes) must be 1 to %3 bytes</source>
        <translation>Selected file: %1 can&apos;t be flashed: its size (%2 bytes) must be 1 to %3 bytes</translation>
    </message>
    <message>
        <source>MOTOR uC</source>
        <translation>MOTOR uC</translation>
    </message>
    <message>
        <source>USER uC</source>
        <translation>USER uC</translation>
    </message>
</context>
<context>
    <name>HoldingSections</name>
    <message>
        <source>Read %1</source>
        <translation>Read %1</translation>
    </message>
    <message>
        <source>%1 not written: aux holdings are written from the Auxiliar holdings table</source>
        <translation>%1 not written: aux holdings are written from the Auxiliary holdings table</translation>
    </message>
</context>
<context>
    <name>LinkSession</name>
    <message>
        <source>no answer from %1 within %2 s</source>
        <translation>no answer from %1 within %2 s</translation>
    </message>
</context>
<context>
    <name>LogArea</name>
    <message>
        <source>Select all</source>
        <translation>Select all</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Clear text</source>
        <translation>Clear text</translation>
    </message>
</context>
<context>
    <name>MainDocks</name>
    <message>
        <source>Input registers</source>
        <translation>Input registers</translation>
    </message>
    <message>
        <source>Holding Registers</source>
        <translation>Holding registers</translation>
    </message>
    <message>
        <source>Coils</source>
        <translation>Coils</translation>
    </message>
    <message>
        <source>Discrete inputs</source>
        <translation>Discrete inputs</translation>
    </message>
    <message>
        <source>Auxiliar holdings</source>
        <translation>Auxiliary holdings</translation>
    </message>
    <message>
        <source>Address table</source>
        <translation>Address table</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Information</translation>
    </message>
    <message>
        <source>Test steps</source>
        <translation>Test steps</translation>
    </message>
    <message>
        <source>Secondary Graph</source>
        <translation>Secondary Graph</translation>
    </message>
    <message>
        <source>Time Graph</source>
        <translation>Time Graph</translation>
    </message>
    <message>
        <source>Holding registers</source>
        <translation>Holding registers</translation>
    </message>
    <message>
        <source>Bus overview</source>
        <translation>Bus overview</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;File</translation>
    </message>
    <message>
        <source>&amp;Open parameter file...</source>
        <translation>&amp;Open parameter file...</translation>
    </message>
    <message>
        <source>&amp;Save parameters...</source>
        <translation>&amp;Save parameters...</translation>
    </message>
    <message>
        <source>Open &amp;data log...</source>
        <translation>Open &amp;data log...</translation>
    </message>
    <message>
        <source>&amp;Export Time Graph</source>
        <translation>&amp;Export Time Graph</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Quit</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;View</translation>
    </message>
    <message>
        <source>&amp;Reset layout</source>
        <translation>&amp;Reset layout</translation>
    </message>
    <message>
        <source>Put every panel back where it was at the first start</source>
        <translation>Put every panel back where it was at the first start</translation>
    </message>
    <message>
        <source>&amp;Language (takes effect after a restart)</source>
        <translation>&amp;Language (takes effect after a restart)</translation>
    </message>
    <message>
        <source>&amp;Drive</source>
        <translation>&amp;Drive</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Connect</translation>
    </message>
    <message>
        <source>&amp;Refresh port list</source>
        <translation>&amp;Refresh port list</translation>
    </message>
    <message>
        <source>&amp;Search addresses</source>
        <translation>&amp;Search addresses</translation>
    </message>
    <message>
        <source>&amp;Access level...</source>
        <translation>&amp;Access level...</translation>
    </message>
    <message>
        <source>&amp;Flash firmware...</source>
        <translation>&amp;Flash firmware...</translation>
    </message>
    <message>
        <source>C&amp;onfiguration...</source>
        <translation>C&amp;onfiguration...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Help</translation>
    </message>
    <message>
        <source>&amp;User guide</source>
        <translation>&amp;User guide</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;About</translation>
    </message>
</context>
<context>
    <name>MainToolBars</name>
    <message>
        <source>Layout</source>
        <translation>Layout</translation>
    </message>
    <message>
        <source>File</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>Open a configuration file to send to the inverter</source>
        <translation>Open a configuration file to send to the inverter</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Save File</translation>
    </message>
    <message>
        <source>Save a configuration file with the current inverter configuration</source>
        <translation>Save a configuration file with the current inverter configuration</translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation>Flash Firmware</translation>
    </message>
    <message>
        <source>Flash firmwar through RS485</source>
        <translation>Flash firmware through RS485</translation>
    </message>
    <message>
        <source>Comm</source>
        <translation>Comm</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Continuous communication updates</source>
        <translation>Continuous communication updates</translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation>Refresh list</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Connect serial port</source>
        <translation>Connect serial port</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Password</translation>
    </message>
    <message>
        <source>Change access level</source>
        <translation>Change access level</translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation>Error count: 0</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Address:</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Search addresses</source>
        <translation>Search addresses</translation>
    </message>
    <message>
        <source>WARNING! Settings XML not found, please select a new one and reload program.</source>
        <translation>WARNING! Settings XML not found, please select a new one and reload program.</translation>
    </message>
    <message>
        <source>Show/Hide holding registers table</source>
        <translation>Show/Hide holding registers table</translation>
    </message>
    <message>
        <source>Show/Hide aux holdings tab</source>
        <translation>Show/Hide aux holdings tab</translation>
    </message>
    <message>
        <source>Show/Hide input registers table</source>
        <translation>Show/Hide input registers table</translation>
    </message>
    <message>
        <source>Show/Hide tools tab</source>
        <translation>Show/Hide tools tab</translation>
    </message>
    <message>
        <source>Show/Hide secondary Graph</source>
        <translation>Show/Hide secondary graph</translation>
    </message>
    <message>
        <source>Search for modbus devices</source>
        <translation>Search for Modbus devices</translation>
    </message>
    <message>
        <source>The window will use the chosen language after a restart</source>
        <translation>The window will use the chosen language after a restart</translation>
    </message>
    <message>
        <source>About MVX/MVZ configurator</source>
        <translation>About MVX/MVZ configurator</translation>
    </message>
    <message>
        <source>&lt;b&gt;MVX/MVZ configurator&lt;/b&gt;&lt;br&gt;Version %1&lt;br&gt;Built %2 %3&lt;br&gt;&lt;br&gt;Configurator, monitor and production tester for Modbus RTU motor drives.</source>
        <translation>&lt;b&gt;MVX/MVZ configurator&lt;/b&gt;&lt;br&gt;Version %1&lt;br&gt;Built %2 %3&lt;br&gt;&lt;br&gt;Configurator, monitor and production tester for Modbus RTU motor drives.</translation>
    </message>
    <message>
        <source>Loaded XML parameter file: %1</source>
        <translation>Loaded XML parameter file: %1</translation>
    </message>
    <message>
        <source>Current speed selection: %1</source>
        <translation>Current speed selection: %1</translation>
    </message>
    <message>
        <source>No serial port to connect to: plug in the adapter and press Refresh list, or set Last_Com in settings.xml to the port&apos;s path.</source>
        <translation>No serial port to connect to: plug in the adapter and press Refresh list, or set Last_Com in settings.xml to the port&apos;s path.</translation>
    </message>
    <message>
        <source>Cannot create the data log in %1</source>
        <translation>Cannot create the data log in %1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Open File</translation>
    </message>
    <message>
        <source>Ostra Firmware (*.ofw)</source>
        <translation>Ostra Firmware (*.ofw)</translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation>Flash Firmware</translation>
    </message>
    <message>
        <source>Firmware update cancelled: nothing was sent</source>
        <translation>Firmware update cancelled: nothing was sent</translation>
    </message>
    <message>
        <source> - flash failed</source>
        <translation> - flash failed</translation>
    </message>
    <message>
        <source>Error Count: %1</source>
        <translation>Error count: %1</translation>
    </message>
    <message>
        <source>Port connected</source>
        <translation>Port connected</translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation>Error count: 0</translation>
    </message>
    <message>
        <source>Port disconnected</source>
        <translation>Port disconnected</translation>
    </message>
    <message>
        <source>Abort search</source>
        <translation>Abort search</translation>
    </message>
    <message>
        <source>Broadcast address! will not reply!</source>
        <translation>Broadcast address: no drive will reply!</translation>
    </message>
    <message>
        <source>MVX/MVZ configurator - Velmor - [build: %1 - %2]</source>
        <translation>MVX/MVZ configurator - Velmor - [build: %1 - %2]</translation>
    </message>
    <message>
        <source>reconnecting (attempt %1, next in %2 s)</source>
        <translation>reconnecting (attempt %1, next in %2 s)</translation>
    </message>
    <message>
        <source>The register map %1 does not exist (XML_drive in %2). Choose the drive&apos;s map in Drive &gt; Configuration (Inverter XML), then restart the program.</source>
        <translation>The register map %1 does not exist (XML_drive in %2). Choose the drive&apos;s map in Drive &gt; Configuration (Inverter XML), then restart the program.</translation>
    </message>
    <message>
        <source>(none named)</source>
        <translation>(none named)</translation>
    </message>
    <message>
        <source>Address %v of %m</source>
        <translation>Address %v of %m</translation>
    </message>
    <message>
        <source>Connect to the Modbus TCP gateway</source>
        <translation>Connect to the Modbus TCP gateway</translation>
    </message>
    <message>
        <source>Current link: %1</source>
        <translation>Current link: %1</translation>
    </message>
</context>
<context>
    <name>Modbus</name>
    <message>
        <source>Connect failed: </source>
        <translation>Connect failed: </translation>
    </message>
    <message>
        <source>Write error: </source>
        <translation>Write error: </translation>
    </message>
    <message>
        <source>Read error: </source>
        <translation>Read error: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
FALLO!. Error de comunicación<byte value="xd"/>
</source>
        <translation><byte value="xd"/>
FAILED! Communication error<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>the worker was stopped</source>
        <translation>the worker was stopped</translation>
    </message>
    <message>
        <source>a new connection</source>
        <translation>a new connection</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>the port was closed</translation>
    </message>
    <message>
        <source>the port was lost</source>
        <translation>the port was lost</translation>
    </message>
    <message>
        <source>Port lost: %1</source>
        <translation>Port lost: %1</translation>
    </message>
    <message>
        <source>the drive address changed to %1</source>
        <translation>the drive address changed to %1</translation>
    </message>
    <message>
        <source>Request refused: bits %1 to %2 are not valid addresses</source>
        <translation>Request refused: bits %1 to %2 are not valid addresses</translation>
    </message>
    <message>
        <source>Write refused: register %1 or value %2 out of range</source>
        <translation>Write refused: register %1 or value %2 out of range</translation>
    </message>
    <message>
        <source>Writting value %1 to holding register %2</source>
        <translation>Writing value %1 to holding register %2</translation>
    </message>
    <message>
        <source>Write refused: %1 writes are already waiting for the drive</source>
        <translation>Write refused: %1 writes are already waiting for the drive</translation>
    </message>
    <message>
        <source>Write refused: the drive is not connected</source>
        <translation>Write refused: the drive is not connected</translation>
    </message>
    <message>
        <source>Not sent (%1): %2</source>
        <translation>Not sent (%1): %2</translation>
    </message>
    <message>
        <source>register %1</source>
        <translation>register %1</translation>
    </message>
    <message>
        <source>%1 (register %2)</source>
        <translation>%1 (register %2)</translation>
    </message>
    <message>
        <source>Write refused: device %1, register %2 or value %3 out of range</source>
        <translation>Write refused: device %1, register %2 or value %3 out of range</translation>
    </message>
    <message>
        <source>Writting value %1 to holding register %2 on device %3</source>
        <translation>Writing value %1 to holding register %2 on device %3</translation>
    </message>
    <message>
        <source>Writting %1 registers starting at %2 refused: one request carries 1 to %3 registers within 0..65535</source>
        <translation>Writing %1 registers starting at %2 refused: one request carries 1 to %3 registers within 0..65535</translation>
    </message>
    <message>
        <source>Writting %1 registers starting at %2: %3</source>
        <translation>Writing %1 registers starting at %2: %3</translation>
    </message>
    <message>
        <source>Reading holding registers refused: start %1, count %2 out of range</source>
        <translation>Reading holding registers refused: start %1, count %2 out of range</translation>
    </message>
    <message>
        <source>Reading holding registers from %1 to %2</source>
        <translation>Reading holding registers from %1 to %2</translation>
    </message>
    <message>
        <source>Searching active devices in addresses 1-247...</source>
        <translation>Searching active devices in addresses 1-247...</translation>
    </message>
    <message>
        <source>Search stopped by user</source>
        <translation>Search stopped by user</translation>
    </message>
    <message>
        <source>Request refused: a firmware update is running</source>
        <translation>Request refused: a firmware update is running</translation>
    </message>
    <message>
        <source>Selected file: %1</source>
        <translation>Selected file: %1</translation>
    </message>
    <message>
        <source>Selected file size: %1kB</source>
        <translation>Selected file size: %1kB</translation>
    </message>
    <message>
        <source>Ready to flash the new firmware</source>
        <translation>Ready to flash the new firmware</translation>
    </message>
    <message>
        <source>Sending file to MOTOR uC</source>
        <translation>Sending file to MOTOR uC</translation>
    </message>
    <message>
        <source>Sending file to USER uC</source>
        <translation>Sending file to USER uC</translation>
    </message>
    <message>
        <source>the announce frame</source>
        <translation>the announce frame</translation>
    </message>
    <message>
        <source>Erase MOTOR memory</source>
        <translation>Erase MOTOR memory</translation>
    </message>
    <message>
        <source>Erase USER memory</source>
        <translation>Erase USER memory</translation>
    </message>
    <message>
        <source>the erase frame</source>
        <translation>the erase frame</translation>
    </message>
    <message>
        <source>cerrando fichero</source>
        <translation>closing file</translation>
    </message>
    <message>
        <source>block %1</source>
        <translation>block %1</translation>
    </message>
    <message>
        <source>Envio de reset del renesas a app principal</source>
        <translation>Sending the Renesas reset to the main application</translation>
    </message>
    <message>
        <source>the Renesas reset</source>
        <translation>the Renesas reset</translation>
    </message>
    <message>
        <source>Envio de reset del atmel a app principal</source>
        <translation>Sending the Atmel reset to the main application</translation>
    </message>
    <message>
        <source>Marcar firmware como bueno</source>
        <translation>Marking the firmware as good</translation>
    </message>
    <message>
        <source>the Atmel reset</source>
        <translation>the Atmel reset</translation>
    </message>
    <message>
        <source>the mark-good frame</source>
        <translation>the mark-good frame</translation>
    </message>
    <message>
        <source>at %1: it could not be sent</source>
        <translation>at %1: it could not be sent</translation>
    </message>
    <message>
        <source>at %1: %2</source>
        <translation>at %1: %2</translation>
    </message>
    <message>
        <source>the answer was for another frame</source>
        <translation>the answer was for another frame</translation>
    </message>
    <message>
        <source>Firmware update of the %1 completed: %2 bytes sent</source>
        <translation>Firmware update of the %1 completed: %2 bytes sent</translation>
    </message>
    <message>
        <source>RESPUESTA A FUNCION 0x64 - ProtocolError - </source>
        <translation>REPLY TO FUNCTION 0x64 - ProtocolError - </translation>
    </message>
    <message>
        <source>RESPUESTA A FUNCION 0x64  - =/= NoError - </source>
        <translation>REPLY TO FUNCTION 0x64 - =/= NoError - </translation>
    </message>
    <message>
        <source>Firmware update of the %1 failed %2</source>
        <translation>Firmware update of the %1 failed %2</translation>
    </message>
    <message>
        <source>(aborted: %1)</source>
        <translation>(aborted: %1)</translation>
    </message>
    <message>
        <source>1 drive found</source>
        <translation>1 drive found</translation>
    </message>
    <message>
        <source>%1 drives found</source>
        <translation>%1 drives found</translation>
    </message>
    <message>
        <source>coil %1 on device %2</source>
        <translation>coil %1 on device %2</translation>
    </message>
    <message>
        <source>Communication restored after %1 s</source>
        <translation>Communication restored after %1 s</translation>
    </message>
    <message>
        <source>Buffer listo para leer</source>
        <translation>Buffer ready to read</translation>
    </message>
    <message>
        <source>El registro de alarma %1 es %2</source>
        <translation>Alarm register %1 is %2</translation>
    </message>
    <message>
        <source>Access level %1 asked for: the register map names no input register that reports the granted level</source>
        <translation>Access level %1 asked for: the register map names no input register that reports the granted level</translation>
    </message>
    <message>
        <source>More than %1 consecutive comm. fails, will omit next messages!</source>
        <translation>More than %1 consecutive communication failures: the next messages are left out!</translation>
    </message>
    <message>
        <source>Reconnected to %1 (attempt %2)</source>
        <translation>Reconnected to %1 (attempt %2)</translation>
    </message>
</context>
<context>
    <name>ParamFile</name>
    <message>
        <source>Load parameters from file to drive</source>
        <translation>Load parameters from file to drive</translation>
    </message>
    <message>
        <source>Parameter file:</source>
        <translation>Parameter file:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Date and time of parameters:</source>
        <translation>Date and time of parameters:</translation>
    </message>
    <message>
        <source>Hardware model (on file / inverter):</source>
        <translation>Hardware model (on file / inverter):</translation>
    </message>
    <message>
        <source>Firmware version (on file / inverter):</source>
        <translation>Firmware version (on file / inverter):</translation>
    </message>
    <message>
        <source>Parameter definiton file used when saving:</source>
        <translation>Parameter definition file used when saving:</translation>
    </message>
    <message>
        <source>On file:</source>
        <translation>On file:</translation>
    </message>
    <message>
        <source>On inverter:</source>
        <translation>On inverter:</translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation>Defaults</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancel</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Send</translation>
    </message>
    <message>
        <source>Seleccione XML</source>
        <translation>Select XML</translation>
    </message>
    <message>
        <source>WARNING: you will lose the current parametrization and go back to the firmware defaults. Firmware defaults may not be the correct ones for your motor; consult your distributor if you are unsure.</source>
        <translation>WARNING: you will lose the current parameters and go back to the firmware defaults. Firmware defaults may not be the correct ones for your motor; consult your distributor if you are unsure.</translation>
    </message>
    <message>
        <source>Do you want to set the default parameters?</source>
        <translation>Do you want to set the default parameters?</translation>
    </message>
    <message>
        <source>Error: parameter file %1 not loaded (%2)</source>
        <translation>Error: parameter file %1 not loaded (%2)</translation>
    </message>
    <message>
        <source>ok</source>
        <translation>ok</translation>
    </message>
    <message>
        <source>no</source>
        <translation>no</translation>
    </message>
</context>
<context>
    <name>ParameterFiles</name>
    <message>
        <source>Export to XML file</source>
        <translation>Export to XML file</translation>
    </message>
    <message>
        <source>Parameters saved to %1</source>
        <translation>Parameters saved to %1</translation>
    </message>
    <message>
        <source>Restoring the firmware default parameters</source>
        <translation>Restoring the firmware default parameters</translation>
    </message>
    <message>
        <source>Sending %1 parameters from file</source>
        <translation>Sending %1 parameters from file</translation>
    </message>
    <message>
        <source>Error: the port is not connected; nothing was sent to the drive</source>
        <translation>Error: the port is not connected; nothing was sent to the drive</translation>
    </message>
</context>
<context>
    <name>RamParamTable</name>
    <message>
        <source>Password not sent: it must be a number from 0 to 65535</source>
        <translation>Password not sent: it must be a number from 0 to 65535</translation>
    </message>
</context>
<context>
    <name>RealtimeControls</name>
    <message>
        <source>Auto scale</source>
        <translation>Auto scale</translation>
    </message>
    <message>
        <source>Checked: the axis scales itself to what is shown</source>
        <translation>Checked: the axis scales itself to what is shown</translation>
    </message>
    <message>
        <source>min</source>
        <translation>min</translation>
    </message>
    <message>
        <source>max</source>
        <translation>max</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
    <message>
        <source>Automatic scale of the %1 axis. Clear it to fix the axis to min..max</source>
        <translation>Automatic scale of the %1 axis. Clear it to fix the axis to min..max</translation>
    </message>
</context>
<context>
    <name>RealtimePlot</name>
    <message>
        <source>Pause</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>Freeze the view here; polling and the data log go on</source>
        <translation>Freeze the view here; polling and the data log go on</translation>
    </message>
    <message>
        <source>Live ▶</source>
        <translation>Live ▶</translation>
    </message>
    <message>
        <source>Back to the newest data (the history was recorded meanwhile)</source>
        <translation>Back to the newest data (the history was recorded meanwhile)</translation>
    </message>
    <message>
        <source>Reset view</source>
        <translation>Reset view</translation>
    </message>
    <message>
        <source>Follow the newest data with the axes as set below (or double-click the plot)</source>
        <translation>Follow the newest data with the axes as set below (or double-click the plot)</translation>
    </message>
    <message>
        <source>Click the plot to place a cursor (two give differences)</source>
        <translation>Click the plot to place a cursor (two give differences)</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Date/Time</translation>
    </message>
    <message>
        <source>Open data log…</source>
        <translation>Open data log…</translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation>Export PNG…</translation>
    </message>
    <message>
        <source>Export PDF…</source>
        <translation>Export PDF…</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Export CSV…</translation>
    </message>
    <message>
        <source>Open a data log in a graph of its own</source>
        <translation>Open a data log in a graph of its own</translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PNG picture</source>
        <translation>Save the time graph as shown, as a PNG picture</translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PDF document</source>
        <translation>Save the time graph as shown, as a PDF document</translation>
    </message>
    <message>
        <source>Save the shown time window&apos;s samples as CSV</source>
        <translation>Save the shown time window&apos;s samples as CSV</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>PNG picture (*.png)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>PDF document (*.pdf)</translation>
    </message>
    <message>
        <source>Cursor %1: %2</source>
        <translation>Cursor %1: %2</translation>
    </message>
    <message>
        <source>Clear cursors</source>
        <translation>Clear cursors</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>Cannot write %1</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>Cannot write %1: %2</translation>
    </message>
    <message>
        <source>Writing %1 failed: %2</source>
        <translation>Writing %1 failed: %2</translation>
    </message>
    <message>
        <source>Export the time graph</source>
        <translation>Export the time graph</translation>
    </message>
    <message>
        <source>Open data log</source>
        <translation>Open data log</translation>
    </message>
    <message>
        <source>Data logs (*-log.txt);;All files (*)</source>
        <translation>Data logs (*-log.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Communication outage</source>
        <translation>Communication outage</translation>
    </message>
</context>
<context>
    <name>RecordWriter</name>
    <message>
        <source>Run %1 stored in %2</source>
        <translation>Run %1 stored in %2</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 (%3); spool %4: %5&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 (%3); spool %4: %5&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 cannot be written (%4). It is uploaded when the database answers again.&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 cannot be written (%4). It is uploaded when the database answers again.&lt;/font&gt;</translation>
    </message>
    <message>
        <source>%1 spooled run(s) uploaded from %2 to %3</source>
        <translation>%1 spooled run(s) uploaded from %2 to %3</translation>
    </message>
</context>
<context>
    <name>RegisterTables</name>
    <message>
        <source>Read aux holdings</source>
        <translation>Read aux holdings</translation>
    </message>
</context>
<context>
    <name>ReplayWindow</name>
    <message>
        <source>Data log</source>
        <translation>Data log</translation>
    </message>
    <message>
        <source>Data log - %1</source>
        <translation>Data log - %1</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>Reading %1…</translation>
    </message>
    <message>
        <source>%1: %2 samples from %3, %4 curves%5</source>
        <translation>%1: %2 samples from %3, %4 curves%5</translation>
    </message>
    <message>
        <source>, P, Q and S worked out</source>
        <translation>, P, Q and S worked out</translation>
    </message>
</context>
<context>
    <name>RequestQueue</name>
    <message>
        <source>1 pending write</source>
        <translation>1 pending write</translation>
    </message>
    <message>
        <source>%1 pending writes</source>
        <translation>%1 pending writes</translation>
    </message>
    <message>
        <source>1 parameter-file record</source>
        <translation>1 parameter-file record</translation>
    </message>
    <message>
        <source>%1 parameter-file records</source>
        <translation>%1 parameter-file records</translation>
    </message>
    <message>
        <source> and </source>
        <translation> and </translation>
    </message>
</context>
<context>
    <name>ResultsDb</name>
    <message>
        <source>the database has schema version %1; this program knows up to %2: update the program</source>
        <translation>the database has schema version %1; this program knows up to %2: update the program</translation>
    </message>
    <message>
        <source>the Qt SQL driver for %1 is not installed</source>
        <translation>the Qt SQL driver for %1 is not installed</translation>
    </message>
    <message>
        <source>cannot switch %1 to write-ahead logging: %2</source>
        <translation>cannot switch %1 to write-ahead logging: %2</translation>
    </message>
    <message>
        <source>%1 is not a results database%2</source>
        <translation>%1 is not a results database%2</translation>
    </message>
    <message>
        <source>cannot read the schema version</source>
        <translation>cannot read the schema version</translation>
    </message>
</context>
<context>
    <name>RunRecorder</name>
    <message>
        <source>it is a file, not a folder</source>
        <translation>it is a file, not a folder</translation>
    </message>
    <message>
        <source>it cannot be created</source>
        <translation>it cannot be created</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 did not answer in time. It is uploaded when the database answers again.&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 did not answer in time. It is uploaded when the database answers again.&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 did not answer in time; spool %3: %4&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 did not answer in time; spool %3: %4&lt;/font&gt;</translation>
    </message>
</context>
<context>
    <name>SecondaryGraph</name>
    <message>
        <source>Buffer A</source>
        <translation>Buffer A</translation>
    </message>
    <message>
        <source>Buffer B</source>
        <translation>Buffer B</translation>
    </message>
    <message>
        <source>Buffer C</source>
        <translation>Buffer C</translation>
    </message>
    <message>
        <source>Variable</source>
        <translation>Variable</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Scale</translation>
    </message>
    <message>
        <source>Red trace:</source>
        <translation>Red trace:</translation>
    </message>
    <message>
        <source>Green trace:</source>
        <translation>Green trace:</translation>
    </message>
    <message>
        <source>Blue trace:</source>
        <translation>Blue trace:</translation>
    </message>
    <message>
        <source>Points after alarm:</source>
        <translation>Points after alarm:</translation>
    </message>
    <message>
        <source>Min/Max vertical scale:</source>
        <translation>Min/Max vertical scale:</translation>
    </message>
    <message>
        <source>Read variables</source>
        <translation>Read variables</translation>
    </message>
    <message>
        <source>Read accelerometer</source>
        <translation>Read accelerometer</translation>
    </message>
    <message>
        <source>Export Values (clipboard)</source>
        <translation>Export values (clipboard)</translation>
    </message>
    <message>
        <source>scale %1: %2</source>
        <translation>scale %1: %2</translation>
    </message>
    <message>
        <source>Points to save after an alarm: %1</source>
        <translation>Points to save after an alarm: %1</translation>
    </message>
    <message>
        <source>The accelerometer log cannot be created in %1</source>
        <translation>The accelerometer log cannot be created in %1</translation>
    </message>
    <message>
        <source>counts</source>
        <translation>counts</translation>
    </message>
    <message>
        <source>samples</source>
        <translation>samples</translation>
    </message>
    <message>
        <source>Warning: the variables and scales must be selected prior to the tigger event and every time power is restored in the inverter</source>
        <translation>Warning: the variables and scales must be selected before the trigger event and every time power is restored to the inverter</translation>
    </message>
</context>
<context>
    <name>TestEngine</name>
    <message>
        <source>Cannot read the test file %1</source>
        <translation>Cannot read the test file %1</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Error %1</translation>
    </message>
    <message>
        <source>El fichero de test no pudo ser cargado.</source>
        <translation>The test file could not be loaded.</translation>
    </message>
    <message>
        <source>Test file: %1</source>
        <translation>Test file: %1</translation>
    </message>
    <message>
        <source>- espera -</source>
        <translation>- wait -</translation>
    </message>
    <message>
        <source>- mensaje -</source>
        <translation>- message -</translation>
    </message>
    <message>
        <source>stop if alarm:</source>
        <translation>stop if alarm:</translation>
    </message>
    <message>
        <source>Numero de serie:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Line lost: the test was cancelled</source>
        <translation>Line lost: the test was cancelled</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos;&gt;&lt;b&gt;---- Fin de bucle, paso %1 de %2 ----&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;green&apos;&gt;&lt;b&gt;---- End of loop, pass %1 of %2 ----&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos; size=&apos;15&apos;&gt;&lt;b&gt;Placa INCORRECTA!&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos; size=&apos;15&apos;&gt;&lt;b&gt;Board FAILED!&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Placas ensayadas: %1. Fallos: %2</source>
        <translation>Boards tested: %1. Failures: %2</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos; size=&apos;15&apos;&gt;&lt;b&gt;Placa CORRECTA!&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;green&apos; size=&apos;15&apos;&gt;&lt;b&gt;Board PASSED!&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Esperando %1 segundos</source>
        <translation>Waiting %1 seconds</translation>
    </message>
    <message>
        <source>FAILED: no fresh reading from the drive</source>
        <translation>FAILED: no fresh reading from the drive</translation>
    </message>
    <message>
        <source>Lectura de entrada: %1. </source>
        <translation>Input reading: %1. </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>FALLO!. Rango (%1,%2); Leído %3</source>
        <translation>FAILED! Range (%1, %2); read %3</translation>
    </message>
    <message>
        <source>Lectura de parametro: %1</source>
        <translation>Parameter reading: %1</translation>
    </message>
    <message>
        <source>Lectura de parametro OK</source>
        <translation>Parameter reading OK</translation>
    </message>
    <message>
        <source>Lectura de parametro incorrecta! Esperado %1, Leído %2</source>
        <translation>Wrong parameter reading! Expected %1, read %2</translation>
    </message>
    <message>
        <source>Escritura de parametro: %1</source>
        <translation>Parameter writing: %1</translation>
    </message>
    <message>
        <source>FAILED: the drive did not take the write</source>
        <translation>FAILED: the drive did not take the write</translation>
    </message>
    <message>
        <source>Lectura RC: %1</source>
        <translation>Coil reading: %1</translation>
    </message>
    <message>
        <source>Lectura entrada discreta: %1</source>
        <translation>Discrete input reading: %1</translation>
    </message>
    <message>
        <source>Lectura coil: el equipo no responde</source>
        <translation>Coil reading: the drive does not answer</translation>
    </message>
    <message>
        <source>Lectura entrada discreta: el equipo no responde</source>
        <translation>Discrete input reading: the drive does not answer</translation>
    </message>
    <message>
        <source>Lectura coil ok</source>
        <translation>Coil reading OK</translation>
    </message>
    <message>
        <source>Lectura entrada discreta OK</source>
        <translation>Discrete input reading OK</translation>
    </message>
    <message>
        <source>Lectura coil incorrecta! Esperado %1, Leído %2</source>
        <translation>Wrong coil reading! Expected %1, read %2</translation>
    </message>
    <message>
        <source>Lectura entrada discreta incorrecta! Esperado %1, Leído %2</source>
        <translation>Wrong discrete input reading! Expected %1, read %2</translation>
    </message>
    <message>
        <source>Escritura WSC: %1</source>
        <translation>Coil writing (WSC): %1</translation>
    </message>
    <message>
        <source>Writing coil %1 %2 on device %3</source>
        <translation>Writing coil %1 %2 on device %3</translation>
    </message>
    <message>
        <source>ON (0xFF00)</source>
        <translation>ON (0xFF00)</translation>
    </message>
    <message>
        <source>OFF (0x0000)</source>
        <translation>OFF (0x0000)</translation>
    </message>
    <message>
        <source>Esperando %1 segundos y comprobando comunicación</source>
        <translation>Waiting %1 seconds and checking the communication</translation>
    </message>
    <message>
        <source>Inicio medida dif.  %1. Valor: %2</source>
        <translation>Start of differential measurement %1. Value: %2</translation>
    </message>
    <message>
        <source>Fin medida diferencial: %1. Inicio: %2 Fin: %3 Incremento: %4. </source>
        <translation>End of differential measurement: %1. Start: %2 End: %3 Increase: %4. </translation>
    </message>
    <message>
        <source>FALLO!. Rango (%1, %2); Leido %3</source>
        <translation>FAILED! Range (%1, %2); read %3</translation>
    </message>
    <message>
        <source>Una alarma en el registro %1 parará inmediatamente el test</source>
        <translation>An alarm in register %1 stops the test at once</translation>
    </message>
    <message>
        <source>El test no será detenido aunque haya alarma</source>
        <translation>The test is not stopped by an alarm</translation>
    </message>
    <message>
        <source>Numero de serie correcto</source>
        <translation>Serial number correct</translation>
    </message>
    <message>
        <source>Numero de serie INCORRECTO!</source>
        <translation>Serial number WRONG!</translation>
    </message>
    <message>
        <source>Tamaño esperado: %1; tamaño leído: %2</source>
        <translation>Expected length: %1; length read: %2</translation>
    </message>
    <message>
        <source>Bloques esperado: %1; bloques leídos: %2</source>
        <translation>Expected blocks: %1; blocks read: %2</translation>
    </message>
</context>
<context>
    <name>TestPanel</name>
    <message>
        <source>Serial number</source>
        <translation>Serial number</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Serial number:</translation>
    </message>
    <message>
        <source>Motivo</source>
        <translation>Reason</translation>
    </message>
    <message>
        <source>Breve motivo del fallo:</source>
        <translation>Short reason for the failure:</translation>
    </message>
    <message>
        <source>Número de serie: %1</source>
        <translation>Serial number: %1</translation>
    </message>
    <message>
        <source>Cannot create the test&apos;s %1 log in %2</source>
        <translation>Cannot create the test&apos;s %1 log in %2</translation>
    </message>
    <message>
        <source>Results database: %1; runs go to %2</source>
        <translation>Results database: %1; runs go to %2</translation>
    </message>
    <message>
        <source>Records: %1</source>
        <translation>Records: %1</translation>
    </message>
    <message>
        <source>Today at %1: %2 boards, %3 failures, first-pass yield %4%</source>
        <translation>Today at %1: %2 boards, %3 failures, first-pass yield %4%</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>unfinished</translation>
    </message>
    <message>
        <source>%1 at %2: %3%4</source>
        <translation>%1 at %2: %3%4</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Serial number %1 was tested before, %2 run(s): %3&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Serial number %1 was tested before, %2 run(s): %3&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Tested before</source>
        <translation>Tested before</translation>
    </message>
    <message>
        <source>Serial number %1 was tested before, %2 run(s):</source>
        <translation>Serial number %1 was tested before, %2 run(s):</translation>
    </message>
    <message>
        <source>

Test this board again?</source>
        <translation>

Test this board again?</translation>
    </message>
    <message>
        <source>Go on</source>
        <translation>Go on</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Earlier runs of serial number %1 are not known: %2&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Earlier runs of serial number %1 are not known: %2&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Serial number %1 was tested before: not tested again</source>
        <translation>Serial number %1 was tested before: not tested again</translation>
    </message>
</context>
<context>
    <name>TestStepTable</name>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Res</source>
        <translation>Res</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Min</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Max</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Time</translation>
    </message>
</context>
<context>
    <name>TestValidation</name>
    <message>
        <source>there are none</source>
        <translation>there are none</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 to %2</translation>
    </message>
    <message>
        <source>the test has no steps</source>
        <translation>the test has no steps</translation>
    </message>
    <message>
        <source>step %1</source>
        <translation>step %1</translation>
    </message>
    <message>
        <source>step %1 &lt;%2&gt;</source>
        <translation>step %1 &lt;%2&gt;</translation>
    </message>
    <message>
        <source>unknown step kind %1</source>
        <translation>unknown step kind %1</translation>
    </message>
    <message>
        <source>has no value of its own (its text is not an integer)</source>
        <translation>has no value of its own (its text is not an integer)</translation>
    </message>
    <message>
        <source>negative wait of %1 s</source>
        <translation>negative wait of %1 s</translation>
    </message>
    <message>
        <source>dat %1 does not fit in a register (-32768 to 65535)</source>
        <translation>dat %1 does not fit in a register (-32768 to 65535)</translation>
    </message>
    <message>
        <source>idx %1 has no differential_measure_initial before it</source>
        <translation>idx %1 has no differential_measure_initial before it</translation>
    </message>
    <message>
        <source>%1 %2 is outside the %3 (%4)</source>
        <translation>%1 %2 is outside the %3 (%4)</translation>
    </message>
    <message>
        <source>min %1 is above max %2, the step can never pass</source>
        <translation>min %1 is above max %2, the step can never pass</translation>
    </message>
    <message>
        <source>loop_start without loop_stop</source>
        <translation>loop_start without loop_stop</translation>
    </message>
    <message>
        <source>loop_stop without loop_start</source>
        <translation>loop_stop without loop_start</translation>
    </message>
    <message>
        <source>loop_stop comes before loop_start</source>
        <translation>loop_stop comes before loop_start</translation>
    </message>
    <message>
        <source>loop_start asks for %1 iterations: 0 or 1 run the loop once, more repeat it</source>
        <translation>loop_start asks for %1 iterations: 0 or 1 run the loop once, more repeat it</translation>
    </message>
    <message>
        <source>%1 or more</source>
        <translation>%1 or more</translation>
    </message>
</context>
<context>
    <name>TimeGraphPanel</name>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reset</translation>
    </message>
    <message>
        <source>Test</source>
        <translation>Test</translation>
    </message>
</context>
<context>
    <name>UserGuideWindow</name>
    <message>
        <source>User guide</source>
        <translation>User guide</translation>
    </message>
    <message>
        <source>The user guide (README.md) was not found. Looked in:
%1</source>
        <translation>The user guide (README.md) was not found. Looked in:
%1</translation>
    </message>
</context>
<context>
    <name>captureregisters</name>
    <message>
        <source>- Select a variable -</source>
        <translation>- Select a variable -</translation>
    </message>
    <message>
        <source>U current</source>
        <translation>U current</translation>
    </message>
    <message>
        <source>V current</source>
        <translation>V current</translation>
    </message>
    <message>
        <source>W current</source>
        <translation>W current</translation>
    </message>
    <message>
        <source>Quadrature current</source>
        <translation>Quadrature current</translation>
    </message>
    <message>
        <source>Bus voltage</source>
        <translation>Bus voltage</translation>
    </message>
    <message>
        <source>System Phase</source>
        <translation>System phase</translation>
    </message>
    <message>
        <source>Power output</source>
        <translation>Power output</translation>
    </message>
    <message>
        <source>Mecanical speed</source>
        <translation>Mechanical speed</translation>
    </message>
    <message>
        <source>Reference speed</source>
        <translation>Reference speed</translation>
    </message>
    <message>
        <source>Quadrature reference</source>
        <translation>Quadrature reference</translation>
    </message>
    <message>
        <source>Direct durrent</source>
        <translation>Direct current</translation>
    </message>
</context>
<context>
    <name>config</name>
    <message>
        <source>Configuration</source>
        <translation>Configuration</translation>
    </message>
    <message>
        <source>Polling Time [ms]:</source>
        <translation>Polling time [ms]:</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Speed:</translation>
    </message>
    <message>
        <source>Configuration:</source>
        <translation>Configuration:</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Logging</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Directory:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Browse...</translation>
    </message>
    <message>
        <source>Inverter XML:</source>
        <translation>Inverter XML:</translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation>%1 bps</translation>
    </message>
    <message>
        <source>8bits / No parity / 2 bit stop</source>
        <translation>8 bits / No parity / 2 stop bits</translation>
    </message>
    <message>
        <source>8bits / Odd par.  / 1 bit stop</source>
        <translation>8 bits / Odd parity / 1 stop bit</translation>
    </message>
    <message>
        <source>8bits / Even par. / 1 bit stop</source>
        <translation>8 bits / Even parity / 1 stop bit</translation>
    </message>
    <message>
        <source>8bits / No parity / 1 bit stop</source>
        <translation>8 bits / No parity / 1 stop bit</translation>
    </message>
    <message>
        <source>Results database</source>
        <translation>Results database</translation>
    </message>
    <message>
        <source>SQLite in the log folder</source>
        <translation>SQLite in the log folder</translation>
    </message>
    <message>
        <source>Where every test run is recorded: empty for an SQLite file in the log folder, sqlite:PATH, or postgresql://USER@HOST:PORT/DBNAME for a server shared by the line (password from ~/.pgpass or PGPASSWORD).</source>
        <translation>Where every test run is recorded: empty for an SQLite file in the log folder, sqlite:PATH, or postgresql://USER@HOST:PORT/DBNAME for a server shared by the line (password from ~/.pgpass or PGPASSWORD).</translation>
    </message>
    <message>
        <source>Station name recorded with each run (empty: the host name).</source>
        <translation>Station name recorded with each run (empty: the host name).</translation>
    </message>
    <message>
        <source>The port is a Modbus TCP gateway: its own serial line sets speed and framing. The polling time is at least 100 ms.</source>
        <translation>The port is a Modbus TCP gateway: its own serial line sets speed and framing. The polling time is at least 100 ms.</translation>
    </message>
    <message>
        <source>Select log directory</source>
        <translation>Select log directory</translation>
    </message>
    <message>
        <source>Select XML configuration file</source>
        <translation>Select XML configuration file</translation>
    </message>
    <message>
        <source>Reconnect automatically</source>
        <translation>Reconnect automatically</translation>
    </message>
    <message>
        <source>After a lost port or a dropped gateway connection, try again by itself (after 1, 2, 4 ... 30 s, and at once when the port is back) until Disconnect.</source>
        <translation>After a lost port or a dropped gateway connection, try again by itself (after 1, 2, 4 ... 30 s, and at once when the port is back) until Disconnect.</translation>
    </message>
    <message>
        <source>Poll time in ms. 0: fast mode, each request goes out as soon as the previous answer is in</source>
        <translation>Poll time in ms. 0: fast mode, each request goes out as soon as the previous answer is in</translation>
    </message>
</context>
<context>
    <name>domguard</name>
    <message>
        <source>cannot open %1: %2</source>
        <translation>cannot open %1: %2</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB: it cannot be a file of this program</source>
        <translation>%1 is larger than %2 MB: it cannot be a file of this program</translation>
    </message>
</context>
<context>
    <name>filesave</name>
    <message>
        <source>%1 could not be saved: %2</source>
        <translation>%1 could not be saved: %2</translation>
    </message>
    <message>
        <source>no file name</source>
        <translation>no file name</translation>
    </message>
</context>
<context>
    <name>logger</name>
    <message>
        <source>Log %1 could not be written: %2</source>
        <translation>Log %1 could not be written: %2</translation>
    </message>
</context>
<context>
    <name>paramcompare</name>
    <message>
        <source>There are &lt;b&gt;%1&lt;/b&gt; parameters with different values</source>
        <translation>There are &lt;b&gt;%1&lt;/b&gt; parameters with different values</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;&lt;b&gt;ERROR!&lt;/b&gt;&lt;/font&gt; Different hardware models. Parameter file can&apos;t be sent</source>
        <translation>&lt;font color=&apos;red&apos;&gt;&lt;b&gt;ERROR!&lt;/b&gt;&lt;/font&gt; Different hardware models. Parameter file can&apos;t be sent</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Different firmware version. Make sure parameters are compatible</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Different firmware version. Make sure parameters are compatible</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Addresses above %1 can&apos;t be sent and are skipped: %2</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Addresses above %1 can&apos;t be sent and are skipped: %2</translation>
    </message>
</context>
<context>
    <name>paramexport</name>
    <message>
        <source>no file name</source>
        <translation>no file name</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>the folder %1 does not exist</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>it is a folder</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permission denied</translation>
    </message>
    <message>
        <source>the disk may be full or the file in use</source>
        <translation>the disk may be full or the file in use</translation>
    </message>
    <message>
        <source>Error: parameter file %1 could not be saved (%2). Nothing was written.</source>
        <translation>Error: parameter file %1 could not be saved (%2). Nothing was written.</translation>
    </message>
</context>
<context>
    <name>paramfile</name>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation>&quot;%1&quot; is not a number: read as 0</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a register address: holding dropped</source>
        <translation>&quot;%1&quot; is not a register address: holding dropped</translation>
    </message>
    <message>
        <source>%1 is not a 16-bit register value: holding dropped</source>
        <translation>%1 is not a 16-bit register value: holding dropped</translation>
    </message>
    <message>
        <source>no address: holding dropped</source>
        <translation>no address: holding dropped</translation>
    </message>
</context>
<context>
    <name>passWindow</name>
    <message>
        <source>Change access level</source>
        <translation>Change access level</translation>
    </message>
    <message>
        <source>Access Level:</source>
        <translation>Access level:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Password:</translation>
    </message>
    <message>
        <source>-- select a user level --</source>
        <translation>-- select a user level --</translation>
    </message>
    <message>
        <source>Level 1: user</source>
        <translation>Level 1: user</translation>
    </message>
    <message>
        <source>Level 2: distributor</source>
        <translation>Level 2: distributor</translation>
    </message>
    <message>
        <source>Level 3: developer</source>
        <translation>Level 3: developer</translation>
    </message>
</context>
<context>
    <name>portlist</name>
    <message>
        <source>Serial port, or a Modbus TCP gateway typed as tcp://HOST[:PORT]</source>
        <translation>Serial port, or a Modbus TCP gateway typed as tcp://HOST[:PORT]</translation>
    </message>
</context>
<context>
    <name>presentation</name>
    <message>
        <source>register %1</source>
        <translation>register %1</translation>
    </message>
    <message>
        <source>%1 to %2 %3</source>
        <translation>%1 to %2 %3</translation>
    </message>
    <message>
        <source>%1 not written: &quot;%2&quot; is not a number (accepted range %3)</source>
        <translation>%1 not written: &quot;%2&quot; is not a number (accepted range %3)</translation>
    </message>
    <message>
        <source>%1 not written: %2 is outside the accepted range %3</source>
        <translation>%1 not written: %2 is outside the accepted range %3</translation>
    </message>
    <message>
        <source>%1 not written: %2 cannot be sent with the multiplier %3</source>
        <translation>%1 not written: %2 cannot be sent with the multiplier %3</translation>
    </message>
</context>
<context>
    <name>realtimeaxes</name>
    <message>
        <source>Speed [rpm]</source>
        <translation>Speed [rpm]</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Speed</translation>
    </message>
    <message>
        <source>Voltage [V]</source>
        <translation>Voltage [V]</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Voltage</translation>
    </message>
    <message>
        <source>Current [A]</source>
        <translation>Current [A]</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Current</translation>
    </message>
    <message>
        <source>Power [W]</source>
        <translation>Power [W]</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Power</translation>
    </message>
    <message>
        <source>Temperature [ºC]</source>
        <translation>Temperature [ºC]</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperature</translation>
    </message>
</context>
<context>
    <name>registertooltip</name>
    <message>
        <source>Address: 0x%1 (%2)</source>
        <translation>Address: 0x%1 (%2)</translation>
    </message>
    <message>
        <source>Range: %1 .. %2</source>
        <translation>Range: %1 .. %2</translation>
    </message>
    <message>
        <source>Choices:</source>
        <translation>Choices:</translation>
    </message>
    <message>
        <source>user</source>
        <translation>user</translation>
    </message>
    <message>
        <source>distributor</source>
        <translation>distributor</translation>
    </message>
    <message>
        <source>developer</source>
        <translation>developer</translation>
    </message>
    <message>
        <source>anyone</source>
        <translation>anyone</translation>
    </message>
    <message>
        <source>Access level: %1 (%2)</source>
        <translation>Access level: %1 (%2)</translation>
    </message>
    <message>
        <source>Unit: %1</source>
        <translation>Unit: %1</translation>
    </message>
</context>
<context>
    <name>replytext</name>
    <message>
        <source>illegal function</source>
        <translation>illegal function</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>illegal data address</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>illegal data value</translation>
    </message>
    <message>
        <source>server device failure</source>
        <translation>server device failure</translation>
    </message>
    <message>
        <source>server device busy</source>
        <translation>server device busy</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>memory parity error</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>gateway path unavailable</translation>
    </message>
    <message>
        <source>gateway target failed to respond</source>
        <translation>gateway target failed to respond</translation>
    </message>
    <message>
        <source>unknown exception</source>
        <translation>unknown exception</translation>
    </message>
    <message>
        <source>Write response error: %1 (Mobus exception: 0x%2)</source>
        <translation>Write response error: %1 (Modbus exception: 0x%2)</translation>
    </message>
    <message>
        <source>Write response error: %1 (code: 0x%2)</source>
        <translation>Write response error: %1 (code: 0x%2)</translation>
    </message>
    <message>
        <source>exception 0x%1, %2</source>
        <translation>exception 0x%1, %2</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>no answer</translation>
    </message>
    <message>
        <source>Access level %1 granted</source>
        <translation>Access level %1 granted</translation>
    </message>
    <message>
        <source>Access level %1 refused: the drive reports level %2</source>
        <translation>Access level %1 refused: the drive reports level %2</translation>
    </message>
    <message>
        <source>Flash the firmware file
%1
to the %2 of a drive of model 0x%3?

Size: %4 bytes (%5 blocks). The controller&apos;s memory is erased first; the drive cannot be used until the transfer ends.</source>
        <translation>Flash the firmware file
%1
to the %2 of a drive of model 0x%3?

Size: %4 bytes (%5 blocks). The controller&apos;s memory is erased first; the drive cannot be used until the transfer ends.</translation>
    </message>
    <message>
        <source>MOTOR uC</source>
        <translation>MOTOR uC</translation>
    </message>
    <message>
        <source>USER uC</source>
        <translation>USER uC</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>malformed XML, reading stopped: %1</source>
        <translation>malformed XML, reading stopped: %1</translation>
    </message>
    <message>
        <source>unknown element ignored</source>
        <translation>unknown element ignored</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not True or False: read as False</source>
        <translation>&quot;%1&quot; is not True or False: read as False</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation>&quot;%1&quot; is not a number: read as 0</translation>
    </message>
    <message>
        <source>%1 could not be saved: the document could not be written</source>
        <translation>%1 could not be saved: the document could not be written</translation>
    </message>
</context>
<context>
    <name>statusline</name>
    <message>
        <source>none yet</source>
        <translation>none yet</translation>
    </message>
    <message>
        <source>%1 s ago</source>
        <translation>%1 s ago</translation>
    </message>
    <message>
        <source>%1 min ago</source>
        <translation>%1 min ago</translation>
    </message>
    <message>
        <source>level unknown</source>
        <translation>level unknown</translation>
    </message>
    <message>
        <source>none</source>
        <translation>none</translation>
    </message>
    <message>
        <source>level %1 (%2)</source>
        <translation>level %1 (%2)</translation>
    </message>
</context>
<context>
    <name>uilanguage</name>
    <message>
        <source>the name of this catalog&apos;s language</source>
        <translation>English</translation>
    </message>
    <message>
        <source>As built</source>
        <translation>As built</translation>
    </message>
</context>
<context>
    <name>xml_test_reader</name>
    <message>
        <source>&quot;%1&quot; is not an integer, ignored</source>
        <translation>&quot;%1&quot; is not an integer, ignored</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number, ignored</source>
        <translation>&quot;%1&quot; is not a number, ignored</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not one of &quot;%2&quot;, read as &quot;%3&quot;</source>
        <translation>&quot;%1&quot; is not one of &quot;%2&quot;, read as &quot;%3&quot;</translation>
    </message>
    <message>
        <source>unknown field, ignored</source>
        <translation>unknown field, ignored</translation>
    </message>
    <message>
        <source>missing &lt;%1&gt;, default used</source>
        <translation>missing &lt;%1&gt;, default used</translation>
    </message>
    <message>
        <source>unknown element, skipped</source>
        <translation>unknown element, skipped</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an integer, the step has no value</source>
        <translation>&quot;%1&quot; is not an integer, the step has no value</translation>
    </message>
    <message>
        <source>only one loop is possible, this one replaces the earlier start</source>
        <translation>only one loop is possible, this one replaces the earlier start</translation>
    </message>
    <message>
        <source>only one loop is possible, this one replaces the earlier stop</source>
        <translation>only one loop is possible, this one replaces the earlier stop</translation>
    </message>
    <message>
        <source>only the first character of &quot;%1&quot; is used</source>
        <translation>only the first character of &quot;%1&quot; is used</translation>
    </message>
    <message>
        <source>malformed XML at column %1: %2</source>
        <translation>malformed XML at column %1: %2</translation>
    </message>
</context>
<context>
    <name>xmlmap</name>
    <message>
        <source>malformed XML at column %1: %2; nothing was read</source>
        <translation>malformed XML at column %1: %2; nothing was read</translation>
    </message>
    <message>
        <source>unknown section ignored</source>
        <translation>unknown section ignored</translation>
    </message>
    <message>
        <source>, using %1</source>
        <translation>, using %1</translation>
    </message>
    <message>
        <source>unknown option ignored</source>
        <translation>unknown option ignored</translation>
    </message>
    <message>
        <source>block and its holdings skipped: attribute &apos;%1&apos; missing</source>
        <translation>block and its holdings skipped: attribute &apos;%1&apos; missing</translation>
    </message>
    <message>
        <source>block &apos;%1&apos;: start &apos;%2&apos; is not a position, using 0</source>
        <translation>block &apos;%1&apos;: start &apos;%2&apos; is not a position, using 0</translation>
    </message>
    <message>
        <source>block &apos;%1&apos; and its holdings skipped: end &apos;%2&apos; is not a position</source>
        <translation>block &apos;%1&apos; and its holdings skipped: end &apos;%2&apos; is not a position</translation>
    </message>
    <message>
        <source>holding dropped: add &apos;%1&apos; is not a register address</source>
        <translation>holding dropped: add &apos;%1&apos; is not a register address</translation>
    </message>
    <message>
        <source>holding %1 dropped: %2</source>
        <translation>holding %1 dropped: %2</translation>
    </message>
    <message>
        <source>holding %1: %2 item(s) before &lt;vis_type&gt;list&lt;/vis_type&gt; discarded</source>
        <translation>holding %1: %2 item(s) before &lt;vis_type&gt;list&lt;/vis_type&gt; discarded</translation>
    </message>
    <message>
        <source>holding %1: unknown element ignored</source>
        <translation>holding %1: unknown element ignored</translation>
    </message>
    <message>
        <source>item val &apos;%1&apos; is not a 16-bit number; the rest of this register is not read</source>
        <translation>item val &apos;%1&apos; is not a 16-bit number; the rest of this register is not read</translation>
    </message>
    <message>
        <source>rest of the %1 section abandoned</source>
        <translation>rest of the %1 section abandoned</translation>
    </message>
    <message>
        <source>input register dropped: add &apos;%1&apos; is not a register address</source>
        <translation>input register dropped: add &apos;%1&apos; is not a register address</translation>
    </message>
    <message>
        <source>input register %1: unknown element ignored</source>
        <translation>input register %1: unknown element ignored</translation>
    </message>
    <message>
        <source>input register %1 dropped: %2</source>
        <translation>input register %1 dropped: %2</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; is not a number, using 255</source>
        <translation>%1 &apos;%2&apos; is not a number, using 255</translation>
    </message>
    <message>
        <source>RAM parameter dropped: add &apos;%1&apos; is not a register address</source>
        <translation>RAM parameter dropped: add &apos;%1&apos; is not a register address</translation>
    </message>
    <message>
        <source>RAM parameter %1: element ignored</source>
        <translation>RAM parameter %1: element ignored</translation>
    </message>
    <message>
        <source>RAM parameter %1 dropped: %2</source>
        <translation>RAM parameter %1 dropped: %2</translation>
    </message>
    <message>
        <source>%1 normal holdings: one poll reads at most %2</source>
        <translation>%1 normal holdings: one poll reads at most %2</translation>
    </message>
    <message>
        <source>%1 input registers: one poll reads at most %2</source>
        <translation>%1 input registers: one poll reads at most %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number</source>
        <translation>&apos;%1&apos; is not a number</translation>
    </message>
</context>
</TS>
