<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES">
<context>
    <name>AddressTable</name>
    <message>
        <source>Add</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Mot Ver</source>
        <translation>Ver. motor</translation>
    </message>
    <message>
        <source>IO Ver</source>
        <translation>Ver. E/S</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modelo</translation>
    </message>
</context>
<context>
    <name>BusOverviewPanel</name>
    <message>
        <source>e.g. 1,2,5 (empty: the selected drive only)</source>
        <translation>p. ej. 1,2,5 (vacía: solo el variador seleccionado)</translation>
    </message>
    <message>
        <source>Drives to watch on this line, besides the selected one. Tick drives in the address table, or type their addresses.</source>
        <translation>Variadores que vigilar en esta línea además del seleccionado. Márquelos en la tabla de direcciones o escriba sus direcciones.</translation>
    </message>
    <message>
        <source>Double-click a drive to select it</source>
        <translation>Doble clic en un variador para seleccionarlo</translation>
    </message>
    <message>
        <source>Poll list:</source>
        <translation>Lista de sondeo:</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Dirección</translation>
    </message>
    <message>
        <source>Model</source>
        <translation>Modelo</translation>
    </message>
    <message>
        <source>Firmware</source>
        <translation>Firmware</translation>
    </message>
    <message>
        <source>Age</source>
        <translation>Antigüedad</translation>
    </message>
    <message>
        <source>Failures</source>
        <translation>Fallos</translation>
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
        <translation>Sin conexión: el valor no se escribió</translation>
    </message>
    <message>
        <source>Not connected: the password was not sent</source>
        <translation>Sin conexión: la contraseña no se envió</translation>
    </message>
    <message>
        <source>Not connected: the Secondary Graph request was not sent</source>
        <translation>Sin conexión: la petición del gráfico secundario no se envió</translation>
    </message>
    <message>
        <source>Not connected: the firmware was not sent</source>
        <translation>Sin conexión: el firmware no se envió</translation>
    </message>
</context>
<context>
    <name>ConnectionStatusWidget</name>
    <message>
        <source>no port</source>
        <translation>sin puerto</translation>
    </message>
    <message>
        <source>address %1</source>
        <translation>dirección %1</translation>
    </message>
    <message>
        <source>connecting...</source>
        <translation>conectando...</translation>
    </message>
    <message>
        <source>access %1</source>
        <translation>acceso %1</translation>
    </message>
    <message>
        <source>last reply %1</source>
        <translation>última respuesta %1</translation>
    </message>
    <message>
        <source>connected</source>
        <translation>conectado</translation>
    </message>
    <message>
        <source>disconnected</source>
        <translation>desconectado</translation>
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
        <translation>%1 que no son líneas de datos</translation>
    </message>
    <message>
        <source>%1 out of time order</source>
        <translation>%1 fuera de orden temporal</translation>
    </message>
    <message>
        <source>the last line cut short (no line end)</source>
        <translation>la última línea cortada (sin fin de línea)</translation>
    </message>
    <message>
        <source>1 line skipped: %1</source>
        <translation>1 línea omitida: %1</translation>
    </message>
    <message>
        <source>%1 lines skipped: %2</source>
        <translation>%1 líneas omitidas: %2</translation>
    </message>
</context>
<context>
    <name>DbTarget</name>
    <message>
        <source>&apos;%1&apos;: &apos;%2&apos; is not a connection keyword</source>
        <translation>&apos;%1&apos;: &apos;%2&apos; no es una palabra clave de conexión</translation>
    </message>
    <message>
        <source>&apos;%1&apos; holds a password: keep it in ~/.pgpass or PGPASSWORD instead</source>
        <translation>&apos;%1&apos; contiene una contraseña: guárdela en ~/.pgpass o en PGPASSWORD</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the value of %2 may not hold &apos;;&apos;</source>
        <translation>&apos;%1&apos;: el valor de %2 no puede contener &apos;;&apos;</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no server: write postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; no indica ningún servidor: escriba postgresql://USUARIO@HOST:PUERTO/BASEDEDATOS</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no database: write postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; no indica ninguna base de datos: escriba postgresql://USUARIO@HOST:PUERTO/BASEDEDATOS</translation>
    </message>
    <message>
        <source>&apos;%1&apos; holds a name that is not text</source>
        <translation>&apos;%1&apos; contiene un nombre que no es texto</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names no file: write sqlite:PATH</source>
        <translation>&apos;%1&apos; no indica ningún fichero: escriba sqlite:RUTA</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a database URL: write sqlite:PATH or postgresql://USER@HOST:PORT/DBNAME</source>
        <translation>&apos;%1&apos; no es una URL de base de datos: escriba sqlite:RUTA o postgresql://USUARIO@HOST:PUERTO/BASEDEDATOS</translation>
    </message>
    <message>
        <source>&apos;%1&apos; names a server address that cannot be used: write a host name, an IPv4 or an IPv6 address</source>
        <translation>&apos;%1&apos; indica una dirección de servidor que no se puede usar: escriba un nombre de host, una dirección IPv4 o una IPv6</translation>
    </message>
</context>
<context>
    <name>Endpoint</name>
    <message>
        <source>&apos;%1&apos;: only serial devices and tcp://HOST[:PORT] are known</source>
        <translation>&apos;%1&apos;: solo se admiten puertos serie y tcp://HOST[:PUERTO]</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write tcp://HOST or tcp://HOST:PORT</source>
        <translation>&apos;%1&apos;: escriba tcp://HOST o tcp://HOST:PUERTO</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write an IPv6 address in brackets, tcp://[ADDRESS]:PORT</source>
        <translation>&apos;%1&apos;: escriba la dirección IPv6 entre corchetes, tcp://[DIRECCIÓN]:PUERTO</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the zone of an IPv6 address is an interface name or number</source>
        <translation>&apos;%1&apos;: la zona de una dirección IPv6 es el nombre o el número de una interfaz</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: the TCP port must be 1 to 65535</source>
        <translation>&apos;%1&apos;: el puerto TCP debe estar entre 1 y 65535</translation>
    </message>
    <message>
        <source>serial port %1</source>
        <translation>puerto serie %1</translation>
    </message>
    <message>
        <source>Modbus TCP gateway %1 port %2</source>
        <translation>pasarela Modbus TCP %1 puerto %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos;: write a host name, an IPv4 address or an IPv6 address</source>
        <translation>&apos;%1&apos;: escriba un nombre de host, una dirección IPv4 o una dirección IPv6</translation>
    </message>
</context>
<context>
    <name>FlashSequence</name>
    <message>
        <source>The model number must be defined to send the update!</source>
        <translation>¡Hay que definir el número de modelo para enviar la actualización!</translation>
    </message>
    <message>
        <source>Selected file: %1 can&apos;t be opened</source>
        <translation>Fichero seleccionado: %1 no se puede abrir</translation>
    </message>
    <message>
        <source>Selected file: %1 is neither a motor nor a user firmware (the file name must contain &quot;motor&quot; or &quot;user&quot;)</source>
        <translation>Fichero seleccionado: %1 no es un firmware de motor ni de usuario (el nombre del fichero debe contener &quot;motor&quot; o &quot;user&quot;)</translation>
    </message>
    <message>
        <source>Selected file: %1 can&apos;t be flashed: its size (%2 bytes) must be 1 to %3 bytes</source>
        <translation>Fichero seleccionado: %1 no se puede grabar: su tamaño (%2 bytes) debe estar entre 1 y %3 bytes</translation>
    </message>
    <message>
        <source>MOTOR uC</source>
        <translation>uC MOTOR</translation>
    </message>
    <message>
        <source>USER uC</source>
        <translation>uC USUARIO</translation>
    </message>
</context>
<context>
    <name>HoldingSections</name>
    <message>
        <source>Read %1</source>
        <translation>Leer %1</translation>
    </message>
    <message>
        <source>%1 not written: aux holdings are written from the Auxiliar holdings table</source>
        <translation>%1 no escrito: los holdings auxiliares se escriben desde la tabla de holdings auxiliares</translation>
    </message>
</context>
<context>
    <name>LinkSession</name>
    <message>
        <source>no answer from %1 within %2 s</source>
        <translation>%1 no respondió en %2 s</translation>
    </message>
</context>
<context>
    <name>LogArea</name>
    <message>
        <source>Select all</source>
        <translation>Seleccionar todo</translation>
    </message>
    <message>
        <source>Copy</source>
        <translation>Copiar</translation>
    </message>
    <message>
        <source>Clear text</source>
        <translation>Borrar texto</translation>
    </message>
</context>
<context>
    <name>MainDocks</name>
    <message>
        <source>Input registers</source>
        <translation>Registros de entrada</translation>
    </message>
    <message>
        <source>Holding Registers</source>
        <translation>Registros de parámetros</translation>
    </message>
    <message>
        <source>Coils</source>
        <translation>Coils</translation>
    </message>
    <message>
        <source>Discrete inputs</source>
        <translation>Entradas discretas</translation>
    </message>
    <message>
        <source>Auxiliar holdings</source>
        <translation>Holdings auxiliares</translation>
    </message>
    <message>
        <source>Address table</source>
        <translation>Tabla de direcciones</translation>
    </message>
    <message>
        <source>Information</source>
        <translation>Información</translation>
    </message>
    <message>
        <source>Test steps</source>
        <translation>Pasos del test</translation>
    </message>
    <message>
        <source>Secondary Graph</source>
        <translation>Gráfico secundario</translation>
    </message>
    <message>
        <source>Time Graph</source>
        <translation>Gráfico temporal</translation>
    </message>
    <message>
        <source>Holding registers</source>
        <translation>Registros de parámetros</translation>
    </message>
    <message>
        <source>Bus overview</source>
        <translation>Vista del bus</translation>
    </message>
</context>
<context>
    <name>MainMenus</name>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>&amp;Open parameter file...</source>
        <translation>&amp;Abrir fichero de parámetros...</translation>
    </message>
    <message>
        <source>&amp;Save parameters...</source>
        <translation>&amp;Guardar parámetros...</translation>
    </message>
    <message>
        <source>Open &amp;data log...</source>
        <translation>Abrir registro de &amp;datos...</translation>
    </message>
    <message>
        <source>&amp;Export Time Graph</source>
        <translation>&amp;Exportar gráfico temporal</translation>
    </message>
    <message>
        <source>&amp;Quit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>&amp;View</source>
        <translation>&amp;Ver</translation>
    </message>
    <message>
        <source>&amp;Reset layout</source>
        <translation>&amp;Restablecer disposición</translation>
    </message>
    <message>
        <source>Put every panel back where it was at the first start</source>
        <translation>Vuelve a colocar cada panel donde estaba en el primer arranque</translation>
    </message>
    <message>
        <source>&amp;Language (takes effect after a restart)</source>
        <translation>&amp;Idioma (se aplica al reiniciar el programa)</translation>
    </message>
    <message>
        <source>&amp;Drive</source>
        <translation>&amp;Equipo</translation>
    </message>
    <message>
        <source>&amp;Connect</source>
        <translation>&amp;Conectar</translation>
    </message>
    <message>
        <source>&amp;Refresh port list</source>
        <translation>&amp;Actualizar lista de puertos</translation>
    </message>
    <message>
        <source>&amp;Search addresses</source>
        <translation>&amp;Buscar direcciones</translation>
    </message>
    <message>
        <source>&amp;Access level...</source>
        <translation>&amp;Nivel de acceso...</translation>
    </message>
    <message>
        <source>&amp;Flash firmware...</source>
        <translation>&amp;Grabar firmware...</translation>
    </message>
    <message>
        <source>C&amp;onfiguration...</source>
        <translation>C&amp;onfiguración...</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>A&amp;yuda</translation>
    </message>
    <message>
        <source>&amp;User guide</source>
        <translation>&amp;Guía de usuario</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
</context>
<context>
    <name>MainToolBars</name>
    <message>
        <source>Layout</source>
        <translation>Disposición</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir fichero</translation>
    </message>
    <message>
        <source>Open a configuration file to send to the inverter</source>
        <translation>Abrir un fichero de configuración para enviarlo al variador</translation>
    </message>
    <message>
        <source>Save File</source>
        <translation>Guardar fichero</translation>
    </message>
    <message>
        <source>Save a configuration file with the current inverter configuration</source>
        <translation>Guardar un fichero de configuración con la configuración actual del variador</translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation>Grabar firmware</translation>
    </message>
    <message>
        <source>Flash firmwar through RS485</source>
        <translation>Grabar el firmware por RS485</translation>
    </message>
    <message>
        <source>Comm</source>
        <translation>Comunicación</translation>
    </message>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Continuous communication updates</source>
        <translation>Actualización continua de la comunicación</translation>
    </message>
    <message>
        <source>Refresh list</source>
        <translation>Actualizar lista</translation>
    </message>
    <message>
        <source>Connect</source>
        <translation>Conectar</translation>
    </message>
    <message>
        <source>Connect serial port</source>
        <translation>Conectar el puerto serie</translation>
    </message>
    <message>
        <source>Password</source>
        <translation>Contraseña</translation>
    </message>
    <message>
        <source>Change access level</source>
        <translation>Cambiar nivel de acceso</translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation>Errores: 0</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Dirección:</translation>
    </message>
</context>
<context>
    <name>MainWindow</name>
    <message>
        <source>Search addresses</source>
        <translation>Buscar direcciones</translation>
    </message>
    <message>
        <source>WARNING! Settings XML not found, please select a new one and reload program.</source>
        <translation>¡ATENCIÓN! No se encuentra el XML de configuración: seleccione otro y vuelva a abrir el programa.</translation>
    </message>
    <message>
        <source>Show/Hide holding registers table</source>
        <translation>Mostrar/ocultar la tabla de registros de parámetros</translation>
    </message>
    <message>
        <source>Show/Hide aux holdings tab</source>
        <translation>Mostrar/ocultar la pestaña de holdings auxiliares</translation>
    </message>
    <message>
        <source>Show/Hide input registers table</source>
        <translation>Mostrar/ocultar la tabla de registros de entrada</translation>
    </message>
    <message>
        <source>Show/Hide tools tab</source>
        <translation>Mostrar/ocultar la pestaña de herramientas</translation>
    </message>
    <message>
        <source>Show/Hide secondary Graph</source>
        <translation>Mostrar/ocultar el gráfico secundario</translation>
    </message>
    <message>
        <source>Search for modbus devices</source>
        <translation>Buscar equipos Modbus</translation>
    </message>
    <message>
        <source>The window will use the chosen language after a restart</source>
        <translation>La ventana usará el idioma elegido al reiniciar el programa</translation>
    </message>
    <message>
        <source>About MVX/MVZ configurator</source>
        <translation>Acerca del configurador MVX/MVZ</translation>
    </message>
    <message>
        <source>&lt;b&gt;MVX/MVZ configurator&lt;/b&gt;&lt;br&gt;Version %1&lt;br&gt;Built %2 %3&lt;br&gt;&lt;br&gt;Configurator, monitor and production tester for Modbus RTU motor drives.</source>
        <translation>&lt;b&gt;Configurador MVX/MVZ&lt;/b&gt;&lt;br&gt;Versión %1&lt;br&gt;Compilado %2 %3&lt;br&gt;&lt;br&gt;Configurador, monitor y probador de producción para variadores de motor Modbus RTU.</translation>
    </message>
    <message>
        <source>Loaded XML parameter file: %1</source>
        <translation>Fichero XML de parámetros cargado: %1</translation>
    </message>
    <message>
        <source>Current speed selection: %1</source>
        <translation>Velocidad seleccionada: %1</translation>
    </message>
    <message>
        <source>No serial port to connect to: plug in the adapter and press Refresh list, or set Last_Com in settings.xml to the port&apos;s path.</source>
        <translation>No hay ningún puerto serie al que conectar: enchufe el adaptador y pulse Actualizar lista, o ponga la ruta del puerto en Last_Com de settings.xml.</translation>
    </message>
    <message>
        <source>Cannot create the data log in %1</source>
        <translation>No se puede crear el registro de datos en %1</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Abrir fichero</translation>
    </message>
    <message>
        <source>Ostra Firmware (*.ofw)</source>
        <translation>Firmware Ostra (*.ofw)</translation>
    </message>
    <message>
        <source>Flash Firmware</source>
        <translation>Grabar firmware</translation>
    </message>
    <message>
        <source>Firmware update cancelled: nothing was sent</source>
        <translation>Actualización de firmware cancelada: no se envió nada</translation>
    </message>
    <message>
        <source> - flash failed</source>
        <translation> - grabación fallida</translation>
    </message>
    <message>
        <source>Error Count: %1</source>
        <translation>Errores: %1</translation>
    </message>
    <message>
        <source>Port connected</source>
        <translation>Puerto conectado</translation>
    </message>
    <message>
        <source>Error Count: 0</source>
        <translation>Errores: 0</translation>
    </message>
    <message>
        <source>Port disconnected</source>
        <translation>Puerto desconectado</translation>
    </message>
    <message>
        <source>Abort search</source>
        <translation>Detener búsqueda</translation>
    </message>
    <message>
        <source>Broadcast address! will not reply!</source>
        <translation>¡Dirección de difusión: ningún equipo responderá!</translation>
    </message>
    <message>
        <source>MVX/MVZ configurator - Velmor - [build: %1 - %2]</source>
        <translation>Configurador MVX/MVZ - Velmor - [compilación: %1 - %2]</translation>
    </message>
    <message>
        <source>reconnecting (attempt %1, next in %2 s)</source>
        <translation>reconectando (intento %1, siguiente en %2 s)</translation>
    </message>
    <message>
        <source>The register map %1 does not exist (XML_drive in %2). Choose the drive&apos;s map in Drive &gt; Configuration (Inverter XML), then restart the program.</source>
        <translation>El mapa de registros %1 no existe (XML_drive en %2). Elija el mapa del equipo en Equipo &gt; Configuración (XML del variador) y reinicie el programa.</translation>
    </message>
    <message>
        <source>(none named)</source>
        <translation>(ninguno indicado)</translation>
    </message>
    <message>
        <source>Address %v of %m</source>
        <translation>Dirección %v de %m</translation>
    </message>
    <message>
        <source>Connect to the Modbus TCP gateway</source>
        <translation>Conectar con la pasarela Modbus TCP</translation>
    </message>
    <message>
        <source>Current link: %1</source>
        <translation>Enlace actual: %1</translation>
    </message>
</context>
<context>
    <name>Modbus</name>
    <message>
        <source>Connect failed: </source>
        <translation>Fallo al conectar: </translation>
    </message>
    <message>
        <source>Write error: </source>
        <translation>Error de escritura: </translation>
    </message>
    <message>
        <source>Read error: </source>
        <translation>Error de lectura: </translation>
    </message>
    <message>
        <source><byte value="xd"/>
FALLO!. Error de comunicación<byte value="xd"/>
</source>
        <translation><byte value="xd"/>
¡FALLO! Error de comunicación<byte value="xd"/>
</translation>
    </message>
    <message>
        <source>the worker was stopped</source>
        <translation>se detuvo la comunicación</translation>
    </message>
    <message>
        <source>a new connection</source>
        <translation>una nueva conexión</translation>
    </message>
    <message>
        <source>the port was closed</source>
        <translation>se cerró el puerto</translation>
    </message>
    <message>
        <source>the port was lost</source>
        <translation>se perdió el puerto</translation>
    </message>
    <message>
        <source>Port lost: %1</source>
        <translation>Puerto perdido: %1</translation>
    </message>
    <message>
        <source>the drive address changed to %1</source>
        <translation>la dirección del equipo cambió a %1</translation>
    </message>
    <message>
        <source>Request refused: bits %1 to %2 are not valid addresses</source>
        <translation>Petición rechazada: los bits %1 a %2 no son direcciones válidas</translation>
    </message>
    <message>
        <source>Write refused: register %1 or value %2 out of range</source>
        <translation>Escritura rechazada: registro %1 o valor %2 fuera de rango</translation>
    </message>
    <message>
        <source>Writting value %1 to holding register %2</source>
        <translation>Escribiendo el valor %1 en el registro %2</translation>
    </message>
    <message>
        <source>Write refused: %1 writes are already waiting for the drive</source>
        <translation>Escritura rechazada: ya hay %1 escrituras esperando al equipo</translation>
    </message>
    <message>
        <source>Write refused: the drive is not connected</source>
        <translation>Escritura rechazada: el equipo no está conectado</translation>
    </message>
    <message>
        <source>Not sent (%1): %2</source>
        <translation>No enviado (%1): %2</translation>
    </message>
    <message>
        <source>register %1</source>
        <translation>registro %1</translation>
    </message>
    <message>
        <source>%1 (register %2)</source>
        <translation>%1 (registro %2)</translation>
    </message>
    <message>
        <source>Write refused: device %1, register %2 or value %3 out of range</source>
        <translation>Escritura rechazada: equipo %1, registro %2 o valor %3 fuera de rango</translation>
    </message>
    <message>
        <source>Writting value %1 to holding register %2 on device %3</source>
        <translation>Escribiendo el valor %1 en el registro %2 del equipo %3</translation>
    </message>
    <message>
        <source>Writting %1 registers starting at %2 refused: one request carries 1 to %3 registers within 0..65535</source>
        <translation>Escritura de %1 registros desde %2 rechazada: una petición lleva de 1 a %3 registros dentro de 0..65535</translation>
    </message>
    <message>
        <source>Writting %1 registers starting at %2: %3</source>
        <translation>Escribiendo %1 registros desde %2: %3</translation>
    </message>
    <message>
        <source>Reading holding registers refused: start %1, count %2 out of range</source>
        <translation>Lectura de registros rechazada: inicio %1, cantidad %2 fuera de rango</translation>
    </message>
    <message>
        <source>Reading holding registers from %1 to %2</source>
        <translation>Leyendo los registros de %1 a %2</translation>
    </message>
    <message>
        <source>Searching active devices in addresses 1-247...</source>
        <translation>Buscando equipos activos en las direcciones 1-247...</translation>
    </message>
    <message>
        <source>Search stopped by user</source>
        <translation>Búsqueda detenida por el usuario</translation>
    </message>
    <message>
        <source>Request refused: a firmware update is running</source>
        <translation>Petición rechazada: hay una actualización de firmware en curso</translation>
    </message>
    <message>
        <source>Selected file: %1</source>
        <translation>Fichero seleccionado: %1</translation>
    </message>
    <message>
        <source>Selected file size: %1kB</source>
        <translation>Tamaño del fichero seleccionado: %1 kB</translation>
    </message>
    <message>
        <source>Ready to flash the new firmware</source>
        <translation>Listo para grabar el nuevo firmware</translation>
    </message>
    <message>
        <source>Sending file to MOTOR uC</source>
        <translation>Enviando el fichero al uC MOTOR</translation>
    </message>
    <message>
        <source>Sending file to USER uC</source>
        <translation>Enviando el fichero al uC USUARIO</translation>
    </message>
    <message>
        <source>the announce frame</source>
        <translation>la trama de anuncio</translation>
    </message>
    <message>
        <source>Erase MOTOR memory</source>
        <translation>Borrado de la memoria MOTOR</translation>
    </message>
    <message>
        <source>Erase USER memory</source>
        <translation>Borrado de la memoria USUARIO</translation>
    </message>
    <message>
        <source>the erase frame</source>
        <translation>la trama de borrado</translation>
    </message>
    <message>
        <source>cerrando fichero</source>
        <translation>cerrando fichero</translation>
    </message>
    <message>
        <source>block %1</source>
        <translation>bloque %1</translation>
    </message>
    <message>
        <source>Envio de reset del renesas a app principal</source>
        <translation>Envío de reset del Renesas a la aplicación principal</translation>
    </message>
    <message>
        <source>the Renesas reset</source>
        <translation>el reset del Renesas</translation>
    </message>
    <message>
        <source>Envio de reset del atmel a app principal</source>
        <translation>Envío de reset del Atmel a la aplicación principal</translation>
    </message>
    <message>
        <source>Marcar firmware como bueno</source>
        <translation>Marcar firmware como bueno</translation>
    </message>
    <message>
        <source>the Atmel reset</source>
        <translation>el reset del Atmel</translation>
    </message>
    <message>
        <source>the mark-good frame</source>
        <translation>la trama de firmware bueno</translation>
    </message>
    <message>
        <source>at %1: it could not be sent</source>
        <translation>en %1: no se pudo enviar</translation>
    </message>
    <message>
        <source>at %1: %2</source>
        <translation>en %1: %2</translation>
    </message>
    <message>
        <source>the answer was for another frame</source>
        <translation>la respuesta era de otra trama</translation>
    </message>
    <message>
        <source>Firmware update of the %1 completed: %2 bytes sent</source>
        <translation>Actualización de firmware del %1 completada: %2 bytes enviados</translation>
    </message>
    <message>
        <source>RESPUESTA A FUNCION 0x64 - ProtocolError - </source>
        <translation>RESPUESTA A FUNCIÓN 0x64 - ProtocolError - </translation>
    </message>
    <message>
        <source>RESPUESTA A FUNCION 0x64  - =/= NoError - </source>
        <translation>RESPUESTA A FUNCIÓN 0x64 - =/= NoError - </translation>
    </message>
    <message>
        <source>Firmware update of the %1 failed %2</source>
        <translation>Actualización de firmware del %1 fallida %2</translation>
    </message>
    <message>
        <source>(aborted: %1)</source>
        <translation>(interrumpida: %1)</translation>
    </message>
    <message>
        <source>1 drive found</source>
        <translation>1 equipo encontrado</translation>
    </message>
    <message>
        <source>%1 drives found</source>
        <translation>%1 equipos encontrados</translation>
    </message>
    <message>
        <source>coil %1 on device %2</source>
        <translation>coil %1 del equipo %2</translation>
    </message>
    <message>
        <source>Communication restored after %1 s</source>
        <translation>Comunicación restablecida tras %1 s</translation>
    </message>
    <message>
        <source>Buffer listo para leer</source>
        <translation>Buffer listo para leer</translation>
    </message>
    <message>
        <source>El registro de alarma %1 es %2</source>
        <translation>El registro de alarma %1 es %2</translation>
    </message>
    <message>
        <source>Access level %1 asked for: the register map names no input register that reports the granted level</source>
        <translation>Nivel de acceso %1 solicitado: el mapa de registros no indica ningún registro de entrada que informe del nivel concedido</translation>
    </message>
    <message>
        <source>More than %1 consecutive comm. fails, will omit next messages!</source>
        <translation>¡Más de %1 fallos de comunicación seguidos: se omiten los siguientes mensajes!</translation>
    </message>
    <message>
        <source>Reconnected to %1 (attempt %2)</source>
        <translation>Reconectado a %1 (intento %2)</translation>
    </message>
</context>
<context>
    <name>ParamFile</name>
    <message>
        <source>Load parameters from file to drive</source>
        <translation>Cargar parámetros de un fichero al equipo</translation>
    </message>
    <message>
        <source>Parameter file:</source>
        <translation>Fichero de parámetros:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message>
        <source>Date and time of parameters:</source>
        <translation>Fecha y hora de los parámetros:</translation>
    </message>
    <message>
        <source>Hardware model (on file / inverter):</source>
        <translation>Modelo de hardware (fichero / variador):</translation>
    </message>
    <message>
        <source>Firmware version (on file / inverter):</source>
        <translation>Versión de firmware (fichero / variador):</translation>
    </message>
    <message>
        <source>Parameter definiton file used when saving:</source>
        <translation>Fichero de definición de parámetros usado al guardar:</translation>
    </message>
    <message>
        <source>On file:</source>
        <translation>En el fichero:</translation>
    </message>
    <message>
        <source>On inverter:</source>
        <translation>En el variador:</translation>
    </message>
    <message>
        <source>Defaults</source>
        <translation>Valores de fábrica</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Send</source>
        <translation>Enviar</translation>
    </message>
    <message>
        <source>Seleccione XML</source>
        <translation>Seleccione XML</translation>
    </message>
    <message>
        <source>WARNING: you will lose the current parametrization and go back to the firmware defaults. Firmware defaults may not be the correct ones for your motor; consult your distributor if you are unsure.</source>
        <translation>ATENCIÓN: perderá la parametrización actual y volverá a los valores de fábrica del firmware. Puede que no sean los adecuados para su motor; consulte a su distribuidor si tiene dudas.</translation>
    </message>
    <message>
        <source>Do you want to set the default parameters?</source>
        <translation>¿Desea cargar los parámetros de fábrica?</translation>
    </message>
    <message>
        <source>Error: parameter file %1 not loaded (%2)</source>
        <translation>Error: fichero de parámetros %1 no cargado (%2)</translation>
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
        <translation>Exportar a fichero XML</translation>
    </message>
    <message>
        <source>Parameters saved to %1</source>
        <translation>Parámetros guardados en %1</translation>
    </message>
    <message>
        <source>Restoring the firmware default parameters</source>
        <translation>Restableciendo los parámetros de fábrica del firmware</translation>
    </message>
    <message>
        <source>Sending %1 parameters from file</source>
        <translation>Enviando %1 parámetros del fichero</translation>
    </message>
    <message>
        <source>Error: the port is not connected; nothing was sent to the drive</source>
        <translation>Error: el puerto no está conectado; no se envió nada al equipo</translation>
    </message>
</context>
<context>
    <name>RamParamTable</name>
    <message>
        <source>Password not sent: it must be a number from 0 to 65535</source>
        <translation>Contraseña no enviada: debe ser un número de 0 a 65535</translation>
    </message>
</context>
<context>
    <name>RealtimeControls</name>
    <message>
        <source>Auto scale</source>
        <translation>Escala automática</translation>
    </message>
    <message>
        <source>Checked: the axis scales itself to what is shown</source>
        <translation>Marcada: el eje se ajusta a lo que se muestra</translation>
    </message>
    <message>
        <source>min</source>
        <translation>mín</translation>
    </message>
    <message>
        <source>max</source>
        <translation>máx</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tiempo</translation>
    </message>
    <message>
        <source>Automatic scale of the %1 axis. Clear it to fix the axis to min..max</source>
        <translation>Escala automática del eje %1. Desmárquela para fijar el eje en mín..máx</translation>
    </message>
</context>
<context>
    <name>RealtimePlot</name>
    <message>
        <source>Pause</source>
        <translation>Pausa</translation>
    </message>
    <message>
        <source>Freeze the view here; polling and the data log go on</source>
        <translation>Congela la vista aquí; la lectura y el registro de datos continúan</translation>
    </message>
    <message>
        <source>Live ▶</source>
        <translation>En vivo ▶</translation>
    </message>
    <message>
        <source>Back to the newest data (the history was recorded meanwhile)</source>
        <translation>Vuelve a los datos más recientes (el historial se ha seguido grabando)</translation>
    </message>
    <message>
        <source>Reset view</source>
        <translation>Restablecer vista</translation>
    </message>
    <message>
        <source>Follow the newest data with the axes as set below (or double-click the plot)</source>
        <translation>Sigue los datos más recientes con los ejes ajustados abajo (o haga doble clic en el gráfico)</translation>
    </message>
    <message>
        <source>Click the plot to place a cursor (two give differences)</source>
        <translation>Haga clic para poner un cursor (dos dan diferencias)</translation>
    </message>
    <message>
        <source>Date/Time</source>
        <translation>Fecha/hora</translation>
    </message>
    <message>
        <source>Open data log…</source>
        <translation>Abrir registro de datos…</translation>
    </message>
    <message>
        <source>Export PNG…</source>
        <translation>Exportar PNG…</translation>
    </message>
    <message>
        <source>Export PDF…</source>
        <translation>Exportar PDF…</translation>
    </message>
    <message>
        <source>Export CSV…</source>
        <translation>Exportar CSV…</translation>
    </message>
    <message>
        <source>Open a data log in a graph of its own</source>
        <translation>Abre un registro de datos en un gráfico propio</translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PNG picture</source>
        <translation>Guarda el gráfico temporal tal como se ve, como imagen PNG</translation>
    </message>
    <message>
        <source>Save the time graph as shown, as a PDF document</source>
        <translation>Guarda el gráfico temporal tal como se ve, como documento PDF</translation>
    </message>
    <message>
        <source>Save the shown time window&apos;s samples as CSV</source>
        <translation>Guarda las muestras de la ventana de tiempo mostrada como CSV</translation>
    </message>
    <message>
        <source>PNG picture (*.png)</source>
        <translation>Imagen PNG (*.png)</translation>
    </message>
    <message>
        <source>PDF document (*.pdf)</source>
        <translation>Documento PDF (*.pdf)</translation>
    </message>
    <message>
        <source>Cursor %1: %2</source>
        <translation>Cursor %1: %2</translation>
    </message>
    <message>
        <source>Clear cursors</source>
        <translation>Quitar cursores</translation>
    </message>
    <message>
        <source>Cannot write %1</source>
        <translation>No se puede escribir %1</translation>
    </message>
    <message>
        <source>Cannot write %1: %2</source>
        <translation>No se puede escribir %1: %2</translation>
    </message>
    <message>
        <source>Writing %1 failed: %2</source>
        <translation>Falló la escritura de %1: %2</translation>
    </message>
    <message>
        <source>Export the time graph</source>
        <translation>Exportar el gráfico temporal</translation>
    </message>
    <message>
        <source>Open data log</source>
        <translation>Abrir registro de datos</translation>
    </message>
    <message>
        <source>Data logs (*-log.txt);;All files (*)</source>
        <translation>Registros de datos (*-log.txt);;Todos los ficheros (*)</translation>
    </message>
    <message>
        <source>Communication outage</source>
        <translation>Corte de comunicación</translation>
    </message>
</context>
<context>
    <name>RecordWriter</name>
    <message>
        <source>Run %1 stored in %2</source>
        <translation>Prueba %1 guardada en %2</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 (%3); spool %4: %5&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos;&gt;No se pudo registrar la prueba %1: %2 (%3); cola local %4: %5&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 cannot be written (%4). It is uploaded when the database answers again.&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Prueba %1 guardada en la cola local %2: no se puede escribir en %3 (%4). Se subirá cuando la base de datos vuelva a responder.&lt;/font&gt;</translation>
    </message>
    <message>
        <source>%1 spooled run(s) uploaded from %2 to %3</source>
        <translation>%1 prueba(s) de la cola local subidas de %2 a %3</translation>
    </message>
</context>
<context>
    <name>RegisterTables</name>
    <message>
        <source>Read aux holdings</source>
        <translation>Leer holdings auxiliares</translation>
    </message>
</context>
<context>
    <name>ReplayWindow</name>
    <message>
        <source>Data log</source>
        <translation>Registro de datos</translation>
    </message>
    <message>
        <source>Data log - %1</source>
        <translation>Registro de datos - %1</translation>
    </message>
    <message>
        <source>Reading %1…</source>
        <translation>Leyendo %1…</translation>
    </message>
    <message>
        <source>%1: %2 samples from %3, %4 curves%5</source>
        <translation>%1: %2 muestras desde %3, %4 curvas%5</translation>
    </message>
    <message>
        <source>, P, Q and S worked out</source>
        <translation>, P, Q y S calculadas</translation>
    </message>
</context>
<context>
    <name>RequestQueue</name>
    <message>
        <source>1 pending write</source>
        <translation>1 escritura pendiente</translation>
    </message>
    <message>
        <source>%1 pending writes</source>
        <translation>%1 escrituras pendientes</translation>
    </message>
    <message>
        <source>1 parameter-file record</source>
        <translation>1 registro del fichero de parámetros</translation>
    </message>
    <message>
        <source>%1 parameter-file records</source>
        <translation>%1 registros del fichero de parámetros</translation>
    </message>
    <message>
        <source> and </source>
        <translation> y </translation>
    </message>
</context>
<context>
    <name>ResultsDb</name>
    <message>
        <source>the database has schema version %1; this program knows up to %2: update the program</source>
        <translation>la base de datos tiene la versión de esquema %1; este programa conoce hasta la %2: actualice el programa</translation>
    </message>
    <message>
        <source>the Qt SQL driver for %1 is not installed</source>
        <translation>el controlador Qt SQL para %1 no está instalado</translation>
    </message>
    <message>
        <source>cannot switch %1 to write-ahead logging: %2</source>
        <translation>no se puede pasar %1 a registro anticipado (WAL): %2</translation>
    </message>
    <message>
        <source>%1 is not a results database%2</source>
        <translation>%1 no es una base de datos de resultados%2</translation>
    </message>
    <message>
        <source>cannot read the schema version</source>
        <translation>no se puede leer la versión del esquema</translation>
    </message>
</context>
<context>
    <name>RunRecorder</name>
    <message>
        <source>it is a file, not a folder</source>
        <translation>es un fichero, no una carpeta</translation>
    </message>
    <message>
        <source>it cannot be created</source>
        <translation>no se puede crear</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Run %1 stored in the local spool %2: %3 did not answer in time. It is uploaded when the database answers again.&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;Prueba %1 guardada en la cola local %2: %3 no respondió a tiempo. Se subirá cuando la base de datos vuelva a responder.&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;Run %1 could not be recorded: %2 did not answer in time; spool %3: %4&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos;&gt;No se pudo registrar la prueba %1: %2 no respondió a tiempo; cola local %3: %4&lt;/font&gt;</translation>
    </message>
</context>
<context>
    <name>SecondaryGraph</name>
    <message>
        <source>Buffer A</source>
        <translation>Búfer A</translation>
    </message>
    <message>
        <source>Buffer B</source>
        <translation>Búfer B</translation>
    </message>
    <message>
        <source>Buffer C</source>
        <translation>Búfer C</translation>
    </message>
    <message>
        <source>Variable</source>
        <translation>Variable</translation>
    </message>
    <message>
        <source>Scale</source>
        <translation>Escala</translation>
    </message>
    <message>
        <source>Red trace:</source>
        <translation>Traza roja:</translation>
    </message>
    <message>
        <source>Green trace:</source>
        <translation>Traza verde:</translation>
    </message>
    <message>
        <source>Blue trace:</source>
        <translation>Traza azul:</translation>
    </message>
    <message>
        <source>Points after alarm:</source>
        <translation>Puntos tras la alarma:</translation>
    </message>
    <message>
        <source>Min/Max vertical scale:</source>
        <translation>Escala vertical mín/máx:</translation>
    </message>
    <message>
        <source>Read variables</source>
        <translation>Leer variables</translation>
    </message>
    <message>
        <source>Read accelerometer</source>
        <translation>Leer acelerómetro</translation>
    </message>
    <message>
        <source>Export Values (clipboard)</source>
        <translation>Exportar valores (portapapeles)</translation>
    </message>
    <message>
        <source>scale %1: %2</source>
        <translation>escala %1: %2</translation>
    </message>
    <message>
        <source>Points to save after an alarm: %1</source>
        <translation>Puntos a guardar tras una alarma: %1</translation>
    </message>
    <message>
        <source>The accelerometer log cannot be created in %1</source>
        <translation>No se puede crear el registro del acelerómetro en %1</translation>
    </message>
    <message>
        <source>counts</source>
        <translation>cuentas</translation>
    </message>
    <message>
        <source>samples</source>
        <translation>muestras</translation>
    </message>
    <message>
        <source>Warning: the variables and scales must be selected prior to the tigger event and every time power is restored in the inverter</source>
        <translation>Atención: las variables y las escalas deben seleccionarse antes del evento de disparo y cada vez que se restablece la alimentación del variador</translation>
    </message>
</context>
<context>
    <name>TestEngine</name>
    <message>
        <source>Cannot read the test file %1</source>
        <translation>No se puede leer el fichero de test %1</translation>
    </message>
    <message>
        <source>Error %1</source>
        <translation>Error %1</translation>
    </message>
    <message>
        <source>El fichero de test no pudo ser cargado.</source>
        <translation>El fichero de test no pudo ser cargado.</translation>
    </message>
    <message>
        <source>Test file: %1</source>
        <translation>Fichero de test: %1</translation>
    </message>
    <message>
        <source>- espera -</source>
        <translation>- espera -</translation>
    </message>
    <message>
        <source>- mensaje -</source>
        <translation>- mensaje -</translation>
    </message>
    <message>
        <source>stop if alarm:</source>
        <translation>parar si hay alarma:</translation>
    </message>
    <message>
        <source>Numero de serie:</source>
        <translation>Número de serie:</translation>
    </message>
    <message>
        <source>Line lost: the test was cancelled</source>
        <translation>Línea perdida: se canceló el test</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos;&gt;&lt;b&gt;---- Fin de bucle, paso %1 de %2 ----&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;green&apos;&gt;&lt;b&gt;---- Fin de bucle, paso %1 de %2 ----&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos; size=&apos;15&apos;&gt;&lt;b&gt;Placa INCORRECTA!&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;red&apos; size=&apos;15&apos;&gt;&lt;b&gt;¡Placa INCORRECTA!&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Placas ensayadas: %1. Fallos: %2</source>
        <translation>Placas ensayadas: %1. Fallos: %2</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;green&apos; size=&apos;15&apos;&gt;&lt;b&gt;Placa CORRECTA!&lt;/b&gt;&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;green&apos; size=&apos;15&apos;&gt;&lt;b&gt;¡Placa CORRECTA!&lt;/b&gt;&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Esperando %1 segundos</source>
        <translation>Esperando %1 segundos</translation>
    </message>
    <message>
        <source>FAILED: no fresh reading from the drive</source>
        <translation>FALLO: no hay una lectura nueva del equipo</translation>
    </message>
    <message>
        <source>Lectura de entrada: %1. </source>
        <translation>Lectura de entrada: %1. </translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>FALLO!. Rango (%1,%2); Leído %3</source>
        <translation>¡FALLO! Rango (%1, %2); leído %3</translation>
    </message>
    <message>
        <source>Lectura de parametro: %1</source>
        <translation>Lectura de parámetro: %1</translation>
    </message>
    <message>
        <source>Lectura de parametro OK</source>
        <translation>Lectura de parámetro OK</translation>
    </message>
    <message>
        <source>Lectura de parametro incorrecta! Esperado %1, Leído %2</source>
        <translation>¡Lectura de parámetro incorrecta! Esperado %1, leído %2</translation>
    </message>
    <message>
        <source>Escritura de parametro: %1</source>
        <translation>Escritura de parámetro: %1</translation>
    </message>
    <message>
        <source>FAILED: the drive did not take the write</source>
        <translation>FALLO: el equipo no aceptó la escritura</translation>
    </message>
    <message>
        <source>Lectura RC: %1</source>
        <translation>Lectura RC: %1</translation>
    </message>
    <message>
        <source>Lectura entrada discreta: %1</source>
        <translation>Lectura entrada discreta: %1</translation>
    </message>
    <message>
        <source>Lectura coil: el equipo no responde</source>
        <translation>Lectura coil: el equipo no responde</translation>
    </message>
    <message>
        <source>Lectura entrada discreta: el equipo no responde</source>
        <translation>Lectura entrada discreta: el equipo no responde</translation>
    </message>
    <message>
        <source>Lectura coil ok</source>
        <translation>Lectura coil OK</translation>
    </message>
    <message>
        <source>Lectura entrada discreta OK</source>
        <translation>Lectura entrada discreta OK</translation>
    </message>
    <message>
        <source>Lectura coil incorrecta! Esperado %1, Leído %2</source>
        <translation>¡Lectura coil incorrecta! Esperado %1, leído %2</translation>
    </message>
    <message>
        <source>Lectura entrada discreta incorrecta! Esperado %1, Leído %2</source>
        <translation>¡Lectura de entrada discreta incorrecta! Esperado %1, leído %2</translation>
    </message>
    <message>
        <source>Escritura WSC: %1</source>
        <translation>Escritura WSC: %1</translation>
    </message>
    <message>
        <source>Writing coil %1 %2 on device %3</source>
        <translation>Escribiendo coil %1 %2 en el equipo %3</translation>
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
        <translation>Esperando %1 segundos y comprobando comunicación</translation>
    </message>
    <message>
        <source>Inicio medida dif.  %1. Valor: %2</source>
        <translation>Inicio medida diferencial %1. Valor: %2</translation>
    </message>
    <message>
        <source>Fin medida diferencial: %1. Inicio: %2 Fin: %3 Incremento: %4. </source>
        <translation>Fin medida diferencial: %1. Inicio: %2 Fin: %3 Incremento: %4. </translation>
    </message>
    <message>
        <source>FALLO!. Rango (%1, %2); Leido %3</source>
        <translation>¡FALLO! Rango (%1, %2); leído %3</translation>
    </message>
    <message>
        <source>Una alarma en el registro %1 parará inmediatamente el test</source>
        <translation>Una alarma en el registro %1 parará inmediatamente el test</translation>
    </message>
    <message>
        <source>El test no será detenido aunque haya alarma</source>
        <translation>El test no será detenido aunque haya alarma</translation>
    </message>
    <message>
        <source>Numero de serie correcto</source>
        <translation>Número de serie correcto</translation>
    </message>
    <message>
        <source>Numero de serie INCORRECTO!</source>
        <translation>¡Número de serie INCORRECTO!</translation>
    </message>
    <message>
        <source>Tamaño esperado: %1; tamaño leído: %2</source>
        <translation>Tamaño esperado: %1; tamaño leído: %2</translation>
    </message>
    <message>
        <source>Bloques esperado: %1; bloques leídos: %2</source>
        <translation>Bloques esperados: %1; bloques leídos: %2</translation>
    </message>
</context>
<context>
    <name>TestPanel</name>
    <message>
        <source>Serial number</source>
        <translation>Número de serie</translation>
    </message>
    <message>
        <source>Serial number:</source>
        <translation>Número de serie:</translation>
    </message>
    <message>
        <source>Motivo</source>
        <translation>Motivo</translation>
    </message>
    <message>
        <source>Breve motivo del fallo:</source>
        <translation>Breve motivo del fallo:</translation>
    </message>
    <message>
        <source>Número de serie: %1</source>
        <translation>Número de serie: %1</translation>
    </message>
    <message>
        <source>Cannot create the test&apos;s %1 log in %2</source>
        <translation>No se puede crear el registro %1 del test en %2</translation>
    </message>
    <message>
        <source>Results database: %1; runs go to %2</source>
        <translation>Base de datos de resultados: %1; las pruebas van a %2</translation>
    </message>
    <message>
        <source>Records: %1</source>
        <translation>Registros: %1</translation>
    </message>
    <message>
        <source>Today at %1: %2 boards, %3 failures, first-pass yield %4%</source>
        <translation>Hoy en %1: %2 placas, %3 fallos, rendimiento a la primera %4%</translation>
    </message>
    <message>
        <source>unfinished</source>
        <translation>sin terminar</translation>
    </message>
    <message>
        <source>%1 at %2: %3%4</source>
        <translation>%1 en %2: %3%4</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Serial number %1 was tested before, %2 run(s): %3&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;El número de serie %1 ya se probó antes, %2 prueba(s): %3&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Tested before</source>
        <translation>Ya probada</translation>
    </message>
    <message>
        <source>Serial number %1 was tested before, %2 run(s):</source>
        <translation>El número de serie %1 ya se probó, %2 prueba(s):</translation>
    </message>
    <message>
        <source>

Test this board again?</source>
        <translation>

¿Probar esta placa otra vez?</translation>
    </message>
    <message>
        <source>Go on</source>
        <translation>Continuar</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;Earlier runs of serial number %1 are not known: %2&lt;/font&gt;</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;No se conocen las pruebas anteriores del número de serie %1: %2&lt;/font&gt;</translation>
    </message>
    <message>
        <source>Serial number %1 was tested before: not tested again</source>
        <translation>El número de serie %1 ya se probó: no se prueba otra vez</translation>
    </message>
</context>
<context>
    <name>TestStepTable</name>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Res</source>
        <translation>Res</translation>
    </message>
    <message>
        <source>Min</source>
        <translation>Mín</translation>
    </message>
    <message>
        <source>Max</source>
        <translation>Máx</translation>
    </message>
    <message>
        <source>Time</source>
        <translation>Tiempo</translation>
    </message>
</context>
<context>
    <name>TestValidation</name>
    <message>
        <source>there are none</source>
        <translation>no hay ninguno</translation>
    </message>
    <message>
        <source>%1 to %2</source>
        <translation>%1 a %2</translation>
    </message>
    <message>
        <source>the test has no steps</source>
        <translation>el test no tiene pasos</translation>
    </message>
    <message>
        <source>step %1</source>
        <translation>paso %1</translation>
    </message>
    <message>
        <source>step %1 &lt;%2&gt;</source>
        <translation>paso %1 &lt;%2&gt;</translation>
    </message>
    <message>
        <source>unknown step kind %1</source>
        <translation>tipo de paso %1 desconocido</translation>
    </message>
    <message>
        <source>has no value of its own (its text is not an integer)</source>
        <translation>no tiene valor propio (su texto no es un entero)</translation>
    </message>
    <message>
        <source>negative wait of %1 s</source>
        <translation>espera negativa de %1 s</translation>
    </message>
    <message>
        <source>dat %1 does not fit in a register (-32768 to 65535)</source>
        <translation>dat %1 no cabe en un registro (-32768 a 65535)</translation>
    </message>
    <message>
        <source>idx %1 has no differential_measure_initial before it</source>
        <translation>idx %1 no tiene un differential_measure_initial antes</translation>
    </message>
    <message>
        <source>%1 %2 is outside the %3 (%4)</source>
        <translation>%1 %2 está fuera de %3 (%4)</translation>
    </message>
    <message>
        <source>min %1 is above max %2, the step can never pass</source>
        <translation>min %1 es mayor que max %2: el paso nunca puede pasar</translation>
    </message>
    <message>
        <source>loop_start without loop_stop</source>
        <translation>loop_start sin loop_stop</translation>
    </message>
    <message>
        <source>loop_stop without loop_start</source>
        <translation>loop_stop sin loop_start</translation>
    </message>
    <message>
        <source>loop_stop comes before loop_start</source>
        <translation>loop_stop está antes de loop_start</translation>
    </message>
    <message>
        <source>loop_start asks for %1 iterations: 0 or 1 run the loop once, more repeat it</source>
        <translation>loop_start pide %1 iteraciones: 0 o 1 ejecutan el bucle una vez, más lo repiten</translation>
    </message>
    <message>
        <source>%1 or more</source>
        <translation>%1 o más</translation>
    </message>
</context>
<context>
    <name>TimeGraphPanel</name>
    <message>
        <source>Stop</source>
        <translation>Parar</translation>
    </message>
    <message>
        <source>Reset</source>
        <translation>Reiniciar</translation>
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
        <translation>Guía de usuario</translation>
    </message>
    <message>
        <source>The user guide (README.md) was not found. Looked in:
%1</source>
        <translation>No se encontró la guía de usuario (README.md). Se buscó en:
%1</translation>
    </message>
</context>
<context>
    <name>captureregisters</name>
    <message>
        <source>- Select a variable -</source>
        <translation>- Seleccione una variable -</translation>
    </message>
    <message>
        <source>U current</source>
        <translation>Corriente U</translation>
    </message>
    <message>
        <source>V current</source>
        <translation>Corriente V</translation>
    </message>
    <message>
        <source>W current</source>
        <translation>Corriente W</translation>
    </message>
    <message>
        <source>Quadrature current</source>
        <translation>Corriente de cuadratura</translation>
    </message>
    <message>
        <source>Bus voltage</source>
        <translation>Tensión de bus</translation>
    </message>
    <message>
        <source>System Phase</source>
        <translation>Fase del sistema</translation>
    </message>
    <message>
        <source>Power output</source>
        <translation>Potencia de salida</translation>
    </message>
    <message>
        <source>Mecanical speed</source>
        <translation>Velocidad mecánica</translation>
    </message>
    <message>
        <source>Reference speed</source>
        <translation>Velocidad de referencia</translation>
    </message>
    <message>
        <source>Quadrature reference</source>
        <translation>Referencia de cuadratura</translation>
    </message>
    <message>
        <source>Direct durrent</source>
        <translation>Corriente directa</translation>
    </message>
</context>
<context>
    <name>config</name>
    <message>
        <source>Configuration</source>
        <translation>Configuración</translation>
    </message>
    <message>
        <source>Polling Time [ms]:</source>
        <translation>Tiempo de lectura [ms]:</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Velocidad:</translation>
    </message>
    <message>
        <source>Configuration:</source>
        <translation>Configuración:</translation>
    </message>
    <message>
        <source>Logging</source>
        <translation>Registro</translation>
    </message>
    <message>
        <source>Directory:</source>
        <translation>Carpeta:</translation>
    </message>
    <message>
        <source>Browse...</source>
        <translation>Examinar...</translation>
    </message>
    <message>
        <source>Inverter XML:</source>
        <translation>XML del variador:</translation>
    </message>
    <message>
        <source>%1 bps</source>
        <translation>%1 bps</translation>
    </message>
    <message>
        <source>8bits / No parity / 2 bit stop</source>
        <translation>8 bits / Sin paridad / 2 bits de parada</translation>
    </message>
    <message>
        <source>8bits / Odd par.  / 1 bit stop</source>
        <translation>8 bits / Paridad impar / 1 bit de parada</translation>
    </message>
    <message>
        <source>8bits / Even par. / 1 bit stop</source>
        <translation>8 bits / Paridad par / 1 bit de parada</translation>
    </message>
    <message>
        <source>8bits / No parity / 1 bit stop</source>
        <translation>8 bits / Sin paridad / 1 bit de parada</translation>
    </message>
    <message>
        <source>Results database</source>
        <translation>Base de datos de resultados</translation>
    </message>
    <message>
        <source>SQLite in the log folder</source>
        <translation>SQLite en la carpeta de registros</translation>
    </message>
    <message>
        <source>Where every test run is recorded: empty for an SQLite file in the log folder, sqlite:PATH, or postgresql://USER@HOST:PORT/DBNAME for a server shared by the line (password from ~/.pgpass or PGPASSWORD).</source>
        <translation>Dónde se registra cada prueba: vacío para un fichero SQLite en la carpeta de registros, sqlite:RUTA, o postgresql://USUARIO@HOST:PUERTO/BASEDEDATOS para un servidor compartido por la línea (contraseña en ~/.pgpass o PGPASSWORD).</translation>
    </message>
    <message>
        <source>Station name recorded with each run (empty: the host name).</source>
        <translation>Nombre del puesto que se registra con cada prueba (vacío: el nombre del equipo).</translation>
    </message>
    <message>
        <source>The port is a Modbus TCP gateway: its own serial line sets speed and framing. The polling time is at least 100 ms.</source>
        <translation>El puerto es una pasarela Modbus TCP: su propia línea serie fija la velocidad y la trama. El tiempo de lectura es de al menos 100 ms.</translation>
    </message>
    <message>
        <source>Select log directory</source>
        <translation>Seleccione la carpeta de registros</translation>
    </message>
    <message>
        <source>Select XML configuration file</source>
        <translation>Seleccione el fichero XML de configuración</translation>
    </message>
    <message>
        <source>Reconnect automatically</source>
        <translation>Reconectar automáticamente</translation>
    </message>
    <message>
        <source>After a lost port or a dropped gateway connection, try again by itself (after 1, 2, 4 ... 30 s, and at once when the port is back) until Disconnect.</source>
        <translation>Tras perder el puerto o la conexión con la pasarela, vuelve a intentarlo solo (tras 1, 2, 4 ... 30 s, y en cuanto el puerto vuelve) hasta Desconectar.</translation>
    </message>
    <message>
        <source>Poll time in ms. 0: fast mode, each request goes out as soon as the previous answer is in</source>
        <translation>Tiempo de sondeo en ms. 0: modo rápido, cada petición sale en cuanto llega la respuesta anterior</translation>
    </message>
</context>
<context>
    <name>domguard</name>
    <message>
        <source>cannot open %1: %2</source>
        <translation>no se puede abrir %1: %2</translation>
    </message>
    <message>
        <source>%1 is larger than %2 MB: it cannot be a file of this program</source>
        <translation>%1 ocupa más de %2 MB: no puede ser un fichero de este programa</translation>
    </message>
</context>
<context>
    <name>filesave</name>
    <message>
        <source>%1 could not be saved: %2</source>
        <translation>%1 no se pudo guardar: %2</translation>
    </message>
    <message>
        <source>no file name</source>
        <translation>sin nombre de fichero</translation>
    </message>
</context>
<context>
    <name>logger</name>
    <message>
        <source>Log %1 could not be written: %2</source>
        <translation>No se pudo escribir el registro %1: %2</translation>
    </message>
</context>
<context>
    <name>paramcompare</name>
    <message>
        <source>There are &lt;b&gt;%1&lt;/b&gt; parameters with different values</source>
        <translation>Hay &lt;b&gt;%1&lt;/b&gt; parámetros con valores distintos</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;red&apos;&gt;&lt;b&gt;ERROR!&lt;/b&gt;&lt;/font&gt; Different hardware models. Parameter file can&apos;t be sent</source>
        <translation>&lt;font color=&apos;red&apos;&gt;&lt;b&gt;¡ERROR!&lt;/b&gt;&lt;/font&gt; Modelos de hardware distintos. No se puede enviar el fichero de parámetros</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Different firmware version. Make sure parameters are compatible</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;¡ATENCIÓN!&lt;/b&gt;&lt;/font&gt; Versión de firmware distinta. Asegúrese de que los parámetros son compatibles</translation>
    </message>
    <message>
        <source>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;WARNING!&lt;/b&gt;&lt;/font&gt; Addresses above %1 can&apos;t be sent and are skipped: %2</source>
        <translation>&lt;font color=&apos;orange&apos;&gt;&lt;b&gt;¡ATENCIÓN!&lt;/b&gt;&lt;/font&gt; Las direcciones por encima de %1 no se pueden enviar y se omiten: %2</translation>
    </message>
</context>
<context>
    <name>paramexport</name>
    <message>
        <source>no file name</source>
        <translation>sin nombre de fichero</translation>
    </message>
    <message>
        <source>the folder %1 does not exist</source>
        <translation>la carpeta %1 no existe</translation>
    </message>
    <message>
        <source>it is a folder</source>
        <translation>es una carpeta</translation>
    </message>
    <message>
        <source>permission denied</source>
        <translation>permiso denegado</translation>
    </message>
    <message>
        <source>the disk may be full or the file in use</source>
        <translation>puede que el disco esté lleno o el fichero en uso</translation>
    </message>
    <message>
        <source>Error: parameter file %1 could not be saved (%2). Nothing was written.</source>
        <translation>Error: no se pudo guardar el fichero de parámetros %1 (%2). No se escribió nada.</translation>
    </message>
</context>
<context>
    <name>paramfile</name>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation>&quot;%1&quot; no es un número: se lee como 0</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a register address: holding dropped</source>
        <translation>&quot;%1&quot; no es una dirección de registro: se descarta el registro</translation>
    </message>
    <message>
        <source>%1 is not a 16-bit register value: holding dropped</source>
        <translation>%1 no es un valor de registro de 16 bits: se descarta el registro</translation>
    </message>
    <message>
        <source>no address: holding dropped</source>
        <translation>sin dirección: se descarta el registro</translation>
    </message>
</context>
<context>
    <name>passWindow</name>
    <message>
        <source>Change access level</source>
        <translation>Cambiar nivel de acceso</translation>
    </message>
    <message>
        <source>Access Level:</source>
        <translation>Nivel de acceso:</translation>
    </message>
    <message>
        <source>Password:</source>
        <translation>Contraseña:</translation>
    </message>
    <message>
        <source>-- select a user level --</source>
        <translation>-- seleccione un nivel de usuario --</translation>
    </message>
    <message>
        <source>Level 1: user</source>
        <translation>Nivel 1: usuario</translation>
    </message>
    <message>
        <source>Level 2: distributor</source>
        <translation>Nivel 2: distribuidor</translation>
    </message>
    <message>
        <source>Level 3: developer</source>
        <translation>Nivel 3: desarrollador</translation>
    </message>
</context>
<context>
    <name>portlist</name>
    <message>
        <source>Serial port, or a Modbus TCP gateway typed as tcp://HOST[:PORT]</source>
        <translation>Puerto serie, o una pasarela Modbus TCP escrita como tcp://HOST[:PUERTO]</translation>
    </message>
</context>
<context>
    <name>presentation</name>
    <message>
        <source>register %1</source>
        <translation>registro %1</translation>
    </message>
    <message>
        <source>%1 to %2 %3</source>
        <translation>%1 a %2 %3</translation>
    </message>
    <message>
        <source>%1 not written: &quot;%2&quot; is not a number (accepted range %3)</source>
        <translation>%1 no escrito: &quot;%2&quot; no es un número (rango aceptado %3)</translation>
    </message>
    <message>
        <source>%1 not written: %2 is outside the accepted range %3</source>
        <translation>%1 no escrito: %2 está fuera del rango aceptado %3</translation>
    </message>
    <message>
        <source>%1 not written: %2 cannot be sent with the multiplier %3</source>
        <translation>%1 no escrito: %2 no se puede enviar con el multiplicador %3</translation>
    </message>
</context>
<context>
    <name>realtimeaxes</name>
    <message>
        <source>Speed [rpm]</source>
        <translation>Velocidad [rpm]</translation>
    </message>
    <message>
        <source>Speed</source>
        <translation>Velocidad</translation>
    </message>
    <message>
        <source>Voltage [V]</source>
        <translation>Tensión [V]</translation>
    </message>
    <message>
        <source>Voltage</source>
        <translation>Tensión</translation>
    </message>
    <message>
        <source>Current [A]</source>
        <translation>Corriente [A]</translation>
    </message>
    <message>
        <source>Current</source>
        <translation>Corriente</translation>
    </message>
    <message>
        <source>Power [W]</source>
        <translation>Potencia [W]</translation>
    </message>
    <message>
        <source>Power</source>
        <translation>Potencia</translation>
    </message>
    <message>
        <source>Temperature [ºC]</source>
        <translation>Temperatura [ºC]</translation>
    </message>
    <message>
        <source>Temperature</source>
        <translation>Temperatura</translation>
    </message>
</context>
<context>
    <name>registertooltip</name>
    <message>
        <source>Address: 0x%1 (%2)</source>
        <translation>Dirección: 0x%1 (%2)</translation>
    </message>
    <message>
        <source>Range: %1 .. %2</source>
        <translation>Rango: %1 .. %2</translation>
    </message>
    <message>
        <source>Choices:</source>
        <translation>Opciones:</translation>
    </message>
    <message>
        <source>user</source>
        <translation>usuario</translation>
    </message>
    <message>
        <source>distributor</source>
        <translation>distribuidor</translation>
    </message>
    <message>
        <source>developer</source>
        <translation>desarrollador</translation>
    </message>
    <message>
        <source>anyone</source>
        <translation>cualquiera</translation>
    </message>
    <message>
        <source>Access level: %1 (%2)</source>
        <translation>Nivel de acceso: %1 (%2)</translation>
    </message>
    <message>
        <source>Unit: %1</source>
        <translation>Unidad: %1</translation>
    </message>
</context>
<context>
    <name>replytext</name>
    <message>
        <source>illegal function</source>
        <translation>función no válida</translation>
    </message>
    <message>
        <source>illegal data address</source>
        <translation>dirección de datos no válida</translation>
    </message>
    <message>
        <source>illegal data value</source>
        <translation>valor de datos no válido</translation>
    </message>
    <message>
        <source>server device failure</source>
        <translation>fallo del equipo servidor</translation>
    </message>
    <message>
        <source>server device busy</source>
        <translation>equipo servidor ocupado</translation>
    </message>
    <message>
        <source>memory parity error</source>
        <translation>error de paridad de memoria</translation>
    </message>
    <message>
        <source>gateway path unavailable</source>
        <translation>ruta de pasarela no disponible</translation>
    </message>
    <message>
        <source>gateway target failed to respond</source>
        <translation>el destino de la pasarela no respondió</translation>
    </message>
    <message>
        <source>unknown exception</source>
        <translation>excepción desconocida</translation>
    </message>
    <message>
        <source>Write response error: %1 (Mobus exception: 0x%2)</source>
        <translation>Error en la respuesta a la escritura: %1 (excepción Modbus: 0x%2)</translation>
    </message>
    <message>
        <source>Write response error: %1 (code: 0x%2)</source>
        <translation>Error en la respuesta a la escritura: %1 (código: 0x%2)</translation>
    </message>
    <message>
        <source>exception 0x%1, %2</source>
        <translation>excepción 0x%1, %2</translation>
    </message>
    <message>
        <source>no answer</source>
        <translation>sin respuesta</translation>
    </message>
    <message>
        <source>Access level %1 granted</source>
        <translation>Nivel de acceso %1 concedido</translation>
    </message>
    <message>
        <source>Access level %1 refused: the drive reports level %2</source>
        <translation>Nivel de acceso %1 denegado: el equipo indica el nivel %2</translation>
    </message>
    <message>
        <source>Flash the firmware file
%1
to the %2 of a drive of model 0x%3?

Size: %4 bytes (%5 blocks). The controller&apos;s memory is erased first; the drive cannot be used until the transfer ends.</source>
        <translation>¿Grabar el fichero de firmware
%1
en el %2 de un equipo de modelo 0x%3?

Tamaño: %4 bytes (%5 bloques). Primero se borra la memoria del controlador; el equipo no se puede usar hasta que termine la transferencia.</translation>
    </message>
    <message>
        <source>MOTOR uC</source>
        <translation>uC MOTOR</translation>
    </message>
    <message>
        <source>USER uC</source>
        <translation>uC USUARIO</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>malformed XML, reading stopped: %1</source>
        <translation>XML mal formado, lectura detenida: %1</translation>
    </message>
    <message>
        <source>unknown element ignored</source>
        <translation>elemento desconocido ignorado</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not True or False: read as False</source>
        <translation>&quot;%1&quot; no es True ni False: se lee como False</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number: read as 0</source>
        <translation>&quot;%1&quot; no es un número: se lee como 0</translation>
    </message>
    <message>
        <source>%1 could not be saved: the document could not be written</source>
        <translation>%1 no se pudo guardar: no se pudo escribir el documento</translation>
    </message>
</context>
<context>
    <name>statusline</name>
    <message>
        <source>none yet</source>
        <translation>ninguna aún</translation>
    </message>
    <message>
        <source>%1 s ago</source>
        <translation>hace %1 s</translation>
    </message>
    <message>
        <source>%1 min ago</source>
        <translation>hace %1 min</translation>
    </message>
    <message>
        <source>level unknown</source>
        <translation>nivel desconocido</translation>
    </message>
    <message>
        <source>none</source>
        <translation>ninguno</translation>
    </message>
    <message>
        <source>level %1 (%2)</source>
        <translation>nivel %1 (%2)</translation>
    </message>
</context>
<context>
    <name>uilanguage</name>
    <message>
        <source>the name of this catalog&apos;s language</source>
        <translation>Español</translation>
    </message>
    <message>
        <source>As built</source>
        <translation>Como se compiló</translation>
    </message>
</context>
<context>
    <name>xml_test_reader</name>
    <message>
        <source>&quot;%1&quot; is not an integer, ignored</source>
        <translation>&quot;%1&quot; no es un entero: se ignora</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not a number, ignored</source>
        <translation>&quot;%1&quot; no es un número: se ignora</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not one of &quot;%2&quot;, read as &quot;%3&quot;</source>
        <translation>&quot;%1&quot; no es uno de &quot;%2&quot;: se lee como &quot;%3&quot;</translation>
    </message>
    <message>
        <source>unknown field, ignored</source>
        <translation>campo desconocido ignorado</translation>
    </message>
    <message>
        <source>missing &lt;%1&gt;, default used</source>
        <translation>falta &lt;%1&gt;: se usa el valor por defecto</translation>
    </message>
    <message>
        <source>unknown element, skipped</source>
        <translation>elemento desconocido: se omite</translation>
    </message>
    <message>
        <source>&quot;%1&quot; is not an integer, the step has no value</source>
        <translation>&quot;%1&quot; no es un entero: el paso no tiene valor</translation>
    </message>
    <message>
        <source>only one loop is possible, this one replaces the earlier start</source>
        <translation>solo puede haber un bucle: este sustituye al inicio anterior</translation>
    </message>
    <message>
        <source>only one loop is possible, this one replaces the earlier stop</source>
        <translation>solo puede haber un bucle: este sustituye al final anterior</translation>
    </message>
    <message>
        <source>only the first character of &quot;%1&quot; is used</source>
        <translation>solo se usa el primer carácter de &quot;%1&quot;</translation>
    </message>
    <message>
        <source>malformed XML at column %1: %2</source>
        <translation>XML mal formado en la columna %1: %2</translation>
    </message>
</context>
<context>
    <name>xmlmap</name>
    <message>
        <source>malformed XML at column %1: %2; nothing was read</source>
        <translation>XML mal formado en la columna %1: %2; no se leyó nada</translation>
    </message>
    <message>
        <source>unknown section ignored</source>
        <translation>sección desconocida ignorada</translation>
    </message>
    <message>
        <source>, using %1</source>
        <translation>, se usa %1</translation>
    </message>
    <message>
        <source>unknown option ignored</source>
        <translation>opción desconocida ignorada</translation>
    </message>
    <message>
        <source>block and its holdings skipped: attribute &apos;%1&apos; missing</source>
        <translation>bloque y sus registros omitidos: falta el atributo &apos;%1&apos;</translation>
    </message>
    <message>
        <source>block &apos;%1&apos;: start &apos;%2&apos; is not a position, using 0</source>
        <translation>bloque &apos;%1&apos;: el inicio &apos;%2&apos; no es una posición, se usa 0</translation>
    </message>
    <message>
        <source>block &apos;%1&apos; and its holdings skipped: end &apos;%2&apos; is not a position</source>
        <translation>bloque &apos;%1&apos; y sus registros omitidos: el final &apos;%2&apos; no es una posición</translation>
    </message>
    <message>
        <source>holding dropped: add &apos;%1&apos; is not a register address</source>
        <translation>registro descartado: add &apos;%1&apos; no es una dirección de registro</translation>
    </message>
    <message>
        <source>holding %1 dropped: %2</source>
        <translation>registro %1 descartado: %2</translation>
    </message>
    <message>
        <source>holding %1: %2 item(s) before &lt;vis_type&gt;list&lt;/vis_type&gt; discarded</source>
        <translation>registro %1: %2 item(s) antes de &lt;vis_type&gt;list&lt;/vis_type&gt; descartados</translation>
    </message>
    <message>
        <source>holding %1: unknown element ignored</source>
        <translation>registro %1: elemento desconocido ignorado</translation>
    </message>
    <message>
        <source>item val &apos;%1&apos; is not a 16-bit number; the rest of this register is not read</source>
        <translation>item val &apos;%1&apos; no es un número de 16 bits; no se lee el resto de este registro</translation>
    </message>
    <message>
        <source>rest of the %1 section abandoned</source>
        <translation>se abandona el resto de la sección %1</translation>
    </message>
    <message>
        <source>input register dropped: add &apos;%1&apos; is not a register address</source>
        <translation>registro de entrada descartado: add &apos;%1&apos; no es una dirección de registro</translation>
    </message>
    <message>
        <source>input register %1: unknown element ignored</source>
        <translation>registro de entrada %1: elemento desconocido ignorado</translation>
    </message>
    <message>
        <source>input register %1 dropped: %2</source>
        <translation>registro de entrada %1 descartado: %2</translation>
    </message>
    <message>
        <source>%1 &apos;%2&apos; is not a number, using 255</source>
        <translation>%1 &apos;%2&apos; no es un número, se usa 255</translation>
    </message>
    <message>
        <source>RAM parameter dropped: add &apos;%1&apos; is not a register address</source>
        <translation>parámetro RAM descartado: add &apos;%1&apos; no es una dirección de registro</translation>
    </message>
    <message>
        <source>RAM parameter %1: element ignored</source>
        <translation>parámetro RAM %1: elemento ignorado</translation>
    </message>
    <message>
        <source>RAM parameter %1 dropped: %2</source>
        <translation>parámetro RAM %1 descartado: %2</translation>
    </message>
    <message>
        <source>%1 normal holdings: one poll reads at most %2</source>
        <translation>%1 registros normales: una lectura lee como máximo %2</translation>
    </message>
    <message>
        <source>%1 input registers: one poll reads at most %2</source>
        <translation>%1 registros de entrada: una lectura lee como máximo %2</translation>
    </message>
    <message>
        <source>&apos;%1&apos; is not a number</source>
        <translation>&apos;%1&apos; no es un número</translation>
    </message>
</context>
</TS>
