<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru_RU">
<context>
    <name>AppUpdater</name>
    <message>
        <source>%1 Update</source>
        <translation>Обновление %1</translation>
    </message>
    <message>
        <source>AppImage is corrupted - zsync_curl is missing.
Aboriting update</source>
        <translation>Образ AppImage повреждён: отсутствует zsync_curl.
Обновление прервано</translation>
    </message>
    <message>
        <source>AppImage is corrupted - updater script is missing.
Aboriting update</source>
        <translation>Образ AppImage повреждён: отсутствует сценарий обновления.
Обновление прервано</translation>
    </message>
    <message>
        <source>AppImage is corrupted - root directory variable is not set.
Aboriting update</source>
        <translation>Образ AppImage повреждён: не задана переменная корневого каталога.
Обновление прервано</translation>
    </message>
    <message>
        <source>appupdateimage process failed to start</source>
        <translation>Не удалось запустить процесс appupdateimage</translation>
    </message>
    <message>
        <source>Update progress</source>
        <translation>Ход обновления</translation>
    </message>
    <message>
        <source>Application has been updated and will now be closed.</source>
        <translation>Приложение обновлено и сейчас будет закрыто.</translation>
    </message>
    <message>
        <source>Error: </source>
        <translation>Ошибка: </translation>
    </message>
</context>
<context>
    <name>AsmViewModel</name>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Opcode</source>
        <translation>Код операции</translation>
    </message>
    <message>
        <source>Arguments</source>
        <translation>Аргументы</translation>
    </message>
</context>
<context>
    <name>HIDDfu</name>
    <message>
        <source>Firmware package is invalid</source>
        <translation>Пакет прошивки повреждён</translation>
    </message>
    <message>
        <source>%1 is not a firmware package</source>
        <translation>%1 не является пакетом прошивки</translation>
    </message>
    <message>
        <source>Incompatible hardware detected.
%1 firmware package is designed for a different board</source>
        <translation>Обнаружено несовместимое оборудование.
Пакет прошивки %1 предназначен для другой платы</translation>
    </message>
</context>
<context>
    <name>KolmDisassembler</name>
    <message>
        <source>Disassembler</source>
        <translation>Дизассемблер</translation>
    </message>
    <message>
        <source>Local debugger executable is missing</source>
        <translation>Не найден исполняемый файл локального отладчика</translation>
    </message>
    <message>
        <source>The disassembler process is still running. Please wait</source>
        <translation>Процесс дизассемблера ещё выполняется. Подождите</translation>
    </message>
</context>
<context>
    <name>KolmLocalDebugger</name>
    <message>
        <source>cannot start the emulator process - already running</source>
        <translation>невозможно запустить процесс эмулятора: он уже запущен</translation>
    </message>
    <message>
        <source>emulator executable is missing</source>
        <translation>не найден исполняемый файл эмулятора</translation>
    </message>
    <message>
        <source>emulator process failed to start</source>
        <translation>не удалось запустить процесс эмулятора</translation>
    </message>
    <message>
        <source>emulator process has crashed</source>
        <translation>процесс эмулятора аварийно завершился</translation>
    </message>
    <message>
        <source>emulator process could not be read from</source>
        <translation>не удалось прочитать данные процесса эмулятора</translation>
    </message>
    <message>
        <source>emulator process cannot be written to</source>
        <translation>не удалось передать данные процессу эмулятора</translation>
    </message>
    <message>
        <source>emulator process produced an error (%1)</source>
        <translation>процесс эмулятора сообщил об ошибке (%1)</translation>
    </message>
</context>
<context>
    <name>KolmProject</name>
    <message>
        <source>Kolm Script (*.%1)</source>
        <translation>Сценарий Kolm (*.%1)</translation>
    </message>
    <message>
        <source>Kolm Binary (*.%1)</source>
        <translation>Двоичный файл Kolm (*.%1)</translation>
    </message>
    <message>
        <source>Kolm IDE Project (*.%1)</source>
        <translation>Проект Kolm IDE (*.%1)</translation>
    </message>
    <message>
        <source>Cannot add file %1 - already exists</source>
        <translation>Невозможно добавить файл %1: он уже существует</translation>
    </message>
    <message>
        <source>Cannot remove the main file %1</source>
        <translation>Невозможно удалить основной файл %1</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Невозможно прочитать %1: %2</translation>
    </message>
    <message>
        <source>Project file is corrupted: %1</source>
        <translation>Файл проекта повреждён: %1</translation>
    </message>
    <message>
        <source>Project file is invalid</source>
        <translation>Недопустимый файл проекта</translation>
    </message>
    <message>
        <source>Project file is corrupted: file entry is not an object</source>
        <translation>Файл проекта повреждён: запись файла не является объектом</translation>
    </message>
    <message>
        <source>File entry without a name</source>
        <translation>Запись файла без имени</translation>
    </message>
    <message>
        <source>File %1 does not exist</source>
        <translation>Файл %1 не существует</translation>
    </message>
    <message>
        <source>Project file is corrupted: more than one &quot;main&quot; file entry</source>
        <translation>Файл проекта повреждён: более одной записи основного файла &quot;main&quot;</translation>
    </message>
    <message>
        <source>Invalid project - &quot;main&quot; file is missing</source>
        <translation>Недопустимый проект: отсутствует основной файл &quot;main&quot;</translation>
    </message>
    <message>
        <source>Cannot write to %1: %2</source>
        <translation>Невозможно записать в %1: %2</translation>
    </message>
    <message>
        <source>Cannot read item %1: %2</source>
        <translation>Невозможно прочитать элемент %1: %2</translation>
    </message>
</context>
<context>
    <name>KolmProjectBSPView</name>
    <message>
        <source>Board Support Package</source>
        <translation>Пакет поддержки платы</translation>
    </message>
    <message>
        <source>Register</source>
        <translation>Регистр</translation>
    </message>
    <message>
        <source>Assign to:</source>
        <translation>Присвоить:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Set value:</source>
        <translation>Записать значение:</translation>
    </message>
    <message>
        <source>Read into:</source>
        <translation>Прочитать в:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Format: &amp;lt;memory pointer&amp;gt;, &amp;lt;size&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Формат: &amp;lt;указатель на память&amp;gt;, &amp;lt;размер&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Write from:</source>
        <translation>Записать из:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Input: &amp;quot;literal&amp;quot; or &amp;lt;memory pointer&amp;gt;, &amp;lt;size&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Ввод: &amp;quot;литерал&amp;quot; или &amp;lt;указатель на память&amp;gt;, &amp;lt;размер&amp;gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Defines</source>
        <translation>Определения</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Сведения</translation>
    </message>
    <message>
        <source>Name:</source>
        <translation>Имя:</translation>
    </message>
    <message>
        <source>Ram:</source>
        <translation>ОЗУ:</translation>
    </message>
    <message>
        <source>Data:</source>
        <translation>Данные:</translation>
    </message>
    <message>
        <source>Peripherals:</source>
        <translation>Периферия:</translation>
    </message>
    <message>
        <source>Close</source>
        <translation>Закрыть</translation>
    </message>
    <message>
        <source>Peripheral</source>
        <translation>Периферия</translation>
    </message>
    <message>
        <source>Address</source>
        <translation>Адрес</translation>
    </message>
    <message>
        <source>Get</source>
        <translation>Получить</translation>
    </message>
    <message>
        <source>Set</source>
        <translation>Задать</translation>
    </message>
    <message>
        <source>Read</source>
        <translation>Чтение</translation>
    </message>
    <message>
        <source>Write</source>
        <translation>Запись</translation>
    </message>
    <message>
        <source>Transceive</source>
        <translation>Обмен</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
</context>
<context>
    <name>KolmProjectHexview</name>
    <message>
        <source>Kolm HexView</source>
        <translation>Kolm HexView</translation>
    </message>
    <message>
        <source>View:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <source>C array</source>
        <translation>Массив C</translation>
    </message>
</context>
<context>
    <name>KolmProjectWindow</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>---</source>
        <translation>---</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Save current file&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Сохранить текущий файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Add a new file to the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить в проект новый файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Add an existing file to the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Добавить в проект существующий файл&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Remove current file from the project&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Убрать текущий файл из проекта&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Show board support package table&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;Показать таблицу пакета поддержки платы&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Project options</source>
        <translation>Параметры проекта</translation>
    </message>
    <message>
        <source>Find:</source>
        <translation>Найти:</translation>
    </message>
    <message>
        <source>Previous</source>
        <translation>Назад</translation>
    </message>
    <message>
        <source>Next</source>
        <translation>Далее</translation>
    </message>
    <message>
        <source>Replace:</source>
        <translation>Заменить:</translation>
    </message>
    <message>
        <source>Replace</source>
        <translation>Заменить</translation>
    </message>
    <message>
        <source>Replace All</source>
        <translation>Заменить все</translation>
    </message>
    <message>
        <source>Schematic</source>
        <translation>Схема</translation>
    </message>
    <message>
        <source>Hexview</source>
        <translation>Hex-вид</translation>
    </message>
    <message>
        <source>Reveal</source>
        <translation>Показать</translation>
    </message>
    <message>
        <source>Open File</source>
        <translation>Открытие файла</translation>
    </message>
    <message>
        <source>Cannot read %1: %2</source>
        <translation>Невозможно прочитать %1: %2</translation>
    </message>
    <message>
        <source>%1 is not a UTF-8 text file and is shown read-only</source>
        <translation>%1 не является текстовым файлом UTF-8 и открыт только для чтения</translation>
    </message>
    <message>
        <source>Save Changes</source>
        <translation>Сохранение изменений</translation>
    </message>
    <message>
        <source>File %1 has been modified. Save changes?</source>
        <translation>Файл %1 изменён. Сохранить изменения?</translation>
    </message>
    <message>
        <source>Cannot save project %1</source>
        <translation>Невозможно сохранить проект %1</translation>
    </message>
    <message>
        <source>Project %1 is modified. Save?</source>
        <translation>Проект %1 изменён. Сохранить?</translation>
    </message>
    <message>
        <source>Project %1 does not have an attached schematic</source>
        <translation>К проекту %1 не приложена схема</translation>
    </message>
    <message>
        <source>Project has not been built</source>
        <translation>Проект ещё не собран</translation>
    </message>
    <message>
        <source>Board Support Package</source>
        <translation>Пакет поддержки платы</translation>
    </message>
    <message>
        <source>The board support package for this project is invalid!
Package: %1
Error: %2</source>
        <translation>Пакет поддержки платы этого проекта недопустим!
Пакет: %1
Ошибка: %2</translation>
    </message>
    <message>
        <source>Compiler</source>
        <translation>Компилятор</translation>
    </message>
    <message>
        <source>No active project</source>
        <translation>Нет активного проекта</translation>
    </message>
    <message>
        <source>Project output location is not set</source>
        <translation>Не задан выходной файл проекта</translation>
    </message>
    <message>
        <source>Cannot create output directory %1</source>
        <translation>Невозможно создать выходной каталог %1</translation>
    </message>
    <message>
        <source>Invalid project define %1=%2
%3</source>
        <translation>Недопустимое определение проекта %1=%2
%3</translation>
    </message>
    <message>
        <source>Cannot write to %1</source>
        <translation>Невозможно записать в %1</translation>
    </message>
    <message>
        <source>Section `.bss&apos; will not fit in region `RAM&apos; (overflowed %1 by %2 bytes)</source>
        <translation>Секция `.bss&apos; не помещается в область `RAM&apos; (переполнение %1 на %2 байт)</translation>
    </message>
    <message>
        <source>Binary file will not fit in region `FLASH&apos; (overflowed %1 by %2 bytes)</source>
        <translation>Двоичный файл не помещается в область `FLASH&apos; (переполнение %1 на %2 байт)</translation>
    </message>
    <message>
        <source>BSS %1 (of %2) bytes</source>
        <translation>BSS %1 (из %2) байт</translation>
    </message>
    <message>
        <source>BSS %1 bytes</source>
        <translation>BSS %1 байт</translation>
    </message>
    <message>
        <source>Total %1 (of %2) bytes</source>
        <translation>Всего %1 (из %2) байт</translation>
    </message>
    <message>
        <source>Total %1 bytes</source>
        <translation>Всего %1 байт</translation>
    </message>
    <message>
        <source>Compilation finished</source>
        <translation>Компиляция завершена</translation>
    </message>
    <message>
        <source>Text %1 / Data %2 / </source>
        <translation>Код %1 / Данные %2 / </translation>
    </message>
    <message>
        <source>Save As</source>
        <translation>Сохранить как</translation>
    </message>
    <message>
        <source>New File</source>
        <translation>Новый файл</translation>
    </message>
    <message>
        <source>Cannot create file %1: %2</source>
        <translation>Невозможно создать файл %1: %2</translation>
    </message>
    <message>
        <source>Cannot add file to project</source>
        <translation>Невозможно добавить файл в проект</translation>
    </message>
    <message>
        <source>Add Files</source>
        <translation>Добавление файлов</translation>
    </message>
    <message>
        <source>Could not add some of the files to project</source>
        <translation>Некоторые файлы не удалось добавить в проект</translation>
    </message>
    <message>
        <source>Remove File</source>
        <translation>Удаление файла</translation>
    </message>
    <message>
        <source>Remove file %1 from project %2?&lt;br&gt;The file itself will not be deleted.</source>
        <translation>Убрать файл %1 из проекта %2?&lt;br&gt;Сам файл удалён не будет.</translation>
    </message>
</context>
<context>
    <name>QDirEdit</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Select directory</source>
        <translation>Выбор каталога</translation>
    </message>
</context>
<context>
    <name>QFoldWidget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Title</source>
        <translation>Заголовок</translation>
    </message>
</context>
<context>
    <name>QPushSwitch</name>
    <message>
        <source>Off</source>
        <translation>Выкл</translation>
    </message>
    <message>
        <source>On</source>
        <translation>Вкл</translation>
    </message>
</context>
<context>
    <name>QRamViewConfig</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Двоичный</translation>
    </message>
    <message>
        <source>2</source>
        <translation>2</translation>
    </message>
    <message>
        <source>Octal</source>
        <translation>Восьмеричный</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Десятичный</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Hexadecimal</source>
        <translation>Шестнадцатеричный</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
    <message>
        <source>A</source>
        <translation>A</translation>
    </message>
</context>
<context>
    <name>QRegisterTableModel</name>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
</context>
<context>
    <name>QRegisterViewConfig</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>8</source>
        <translation>8</translation>
    </message>
    <message>
        <source>Octal</source>
        <translation>Восьмеричный</translation>
    </message>
    <message>
        <source>10</source>
        <translation>10</translation>
    </message>
    <message>
        <source>Decimal</source>
        <translation>Десятичный</translation>
    </message>
    <message>
        <source>16</source>
        <translation>16</translation>
    </message>
    <message>
        <source>Hexadecimal</source>
        <translation>Шестнадцатеричный</translation>
    </message>
</context>
<context>
    <name>QToolLineEdit</name>
    <message>
        <source>All Files (*.*)</source>
        <translation>Все файлы (*.*)</translation>
    </message>
    <message>
        <source>Clear</source>
        <translation>Очистить</translation>
    </message>
    <message>
        <source>Paste</source>
        <translation>Вставить</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Select File</source>
        <translation>Выбор файла</translation>
    </message>
</context>
<context>
    <name>RemoteAddressWizardPage</name>
    <message>
        <source>Remote Address</source>
        <translation>Удалённый адрес</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Protocol:</source>
        <translation>Протокол:</translation>
    </message>
    <message>
        <source>TCP</source>
        <translation>TCP</translation>
    </message>
    <message>
        <source>UDP</source>
        <translation>UDP</translation>
    </message>
</context>
<context>
    <name>RemoteInfoWizardPage</name>
    <message>
        <source>Remote Device</source>
        <translation>Удалённое устройство</translation>
    </message>
</context>
<context>
    <name>SvgViewer</name>
    <message>
        <source>SVG Viewer</source>
        <translation>Просмотр SVG</translation>
    </message>
</context>
<context>
    <name>ThemeDetector</name>
    <message>
        <source>Force the application to use the dark theme.</source>
        <translation>Принудительно использовать тёмную тему.</translation>
    </message>
</context>
<context>
    <name>UARTCommunicator</name>
    <message>
        <source>Invalid address %1</source>
        <translation>Недопустимый адрес %1</translation>
    </message>
    <message>
        <source>Invalid parity value %1</source>
        <translation>Недопустимое значение чётности %1</translation>
    </message>
    <message>
        <source>Invalid baudrate %1</source>
        <translation>Недопустимая скорость %1</translation>
    </message>
    <message>
        <source>Invalid stop bits value %1</source>
        <translation>Недопустимое число стоповых битов %1</translation>
    </message>
</context>
<context>
    <name>USBDeviceFilterBox</name>
    <message>
        <source>Device Filter</source>
        <translation>Фильтр устройств</translation>
    </message>
    <message>
        <source>USB</source>
        <translation>USB</translation>
    </message>
    <message>
        <source>VID:</source>
        <translation>VID:</translation>
    </message>
    <message>
        <source>0x</source>
        <translation>0x</translation>
    </message>
    <message>
        <source>PID:</source>
        <translation>PID:</translation>
    </message>
    <message>
        <source>Vendor:</source>
        <translation>Производитель:</translation>
    </message>
    <message>
        <source>Product:</source>
        <translation>Продукт:</translation>
    </message>
    <message>
        <source>UART</source>
        <translation>UART</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Flow Control:</source>
        <translation>Управление потоком:</translation>
    </message>
    <message>
        <source>None</source>
        <translation>Нет</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Аппаратное</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Программное</translation>
    </message>
    <message>
        <source>Blacklist:</source>
        <translation>Исключить:</translation>
    </message>
    <message>
        <source>Semicolon separated list of ignored com ports.
Whildcards (&apos;*&apos;,&apos;?&apos;) are supported.
Example:
&quot;ttyS*;ttyACM0&quot;</source>
        <translation>Список игнорируемых COM-портов через точку с запятой.
Поддерживаются шаблоны (&apos;*&apos;, &apos;?&apos;).
Пример:
&quot;ttyS*;ttyACM0&quot;</translation>
    </message>
</context>
<context>
    <name>ZUPLCConfigV1Widget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Radio Settings</source>
        <translation>Параметры радио</translation>
    </message>
    <message>
        <source>Call init at startup</source>
        <translation>Вызывать init при запуске</translation>
    </message>
    <message>
        <source>Allow Remote Configuration</source>
        <translation>Разрешить удалённую настройку</translation>
    </message>
    <message>
        <source>Speed:</source>
        <translation>Скорость:</translation>
    </message>
    <message>
        <source>Power:</source>
        <translation>Мощность:</translation>
    </message>
    <message>
        <source>Channel:</source>
        <translation>Канал:</translation>
    </message>
    <message>
        <source>Frequency:</source>
        <translation>Частота:</translation>
    </message>
    <message>
        <source>0x</source>
        <translation>0x</translation>
    </message>
</context>
<context>
    <name>ZUPLCConfigV2Widget</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Address:</source>
        <translation>Адрес:</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
</context>
<context>
    <name>Zu16AddressEdit</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>Hex</source>
        <translation>Hex</translation>
    </message>
</context>
<context>
    <name>ZuASMDebugger</name>
    <message>
        <source>Form</source>
        <translation>Форма</translation>
    </message>
    <message>
        <source>View:</source>
        <translation>Вид:</translation>
    </message>
    <message>
        <source>Disassembly</source>
        <translation>Дизассемблер</translation>
    </message>
    <message>
        <source>Source Code</source>
        <translation>Исходный код</translation>
    </message>
    <message>
        <source>Auto</source>
        <translation>Авто</translation>
    </message>
    <message>
        <source>Runtime</source>
        <translation>Выполнение</translation>
    </message>
    <message>
        <source>Registers</source>
        <translation>Регистры</translation>
    </message>
    <message>
        <source>Stack</source>
        <translation>Стек</translation>
    </message>
    <message>
        <source>Miscellaneous</source>
        <translation>Прочее</translation>
    </message>
    <message>
        <source>Expand All</source>
        <translation>Развернуть все</translation>
    </message>
    <message>
        <source>...</source>
        <translation>...</translation>
    </message>
    <message>
        <source>Collapse All</source>
        <translation>Свернуть все</translation>
    </message>
    <message>
        <source>Function Table</source>
        <translation>Таблица функций</translation>
    </message>
    <message>
        <source>RAM</source>
        <translation>ОЗУ</translation>
    </message>
    <message>
        <source>Sync</source>
        <translation>Синхр.</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Value</source>
        <translation>Значение</translation>
    </message>
    <message>
        <source>Virtual Machine Flags</source>
        <translation>Флаги виртуальной машины</translation>
    </message>
    <message>
        <source>Other</source>
        <translation>Другое</translation>
    </message>
    <message>
        <source>Error</source>
        <translation>Ошибка</translation>
    </message>
    <message>
        <source>Segv</source>
        <translation>Segv</translation>
    </message>
    <message>
        <source>Halt</source>
        <translation>Останов</translation>
    </message>
    <message>
        <source>Ack</source>
        <translation>Ack</translation>
    </message>
    <message>
        <source>Crypt</source>
        <translation>Шифр</translation>
    </message>
    <message>
        <source>Interrupt Level</source>
        <translation>Уровень прерывания</translation>
    </message>
    <message>
        <source>Stack Depth</source>
        <translation>Глубина стека</translation>
    </message>
    <message>
        <source>on</source>
        <translation>вкл</translation>
    </message>
    <message>
        <source>off</source>
        <translation>выкл</translation>
    </message>
</context>
<context>
    <name>ZuASMGetKey</name>
    <message>
        <source>Setup Encryption Key</source>
        <translation>Ключ шифрования</translation>
    </message>
    <message>
        <source>Key:</source>
        <translation>Ключ:</translation>
    </message>
    <message>
        <source>Format:</source>
        <translation>Формат:</translation>
    </message>
    <message>
        <source>HEX</source>
        <translation>HEX</translation>
    </message>
    <message>
        <source>ASCII</source>
        <translation>ASCII</translation>
    </message>
</context>
<context>
    <name>ZuASMPreferences</name>
    <message>
        <source>KolmIDE Preferences</source>
        <translation>Настройки KolmIDE</translation>
    </message>
    <message>
        <source>General</source>
        <translation>Общие</translation>
    </message>
    <message>
        <source>Language:</source>
        <translation>Язык:</translation>
    </message>
    <message>
        <source>Color theme:</source>
        <translation>Цветовая тема:</translation>
    </message>
    <message>
        <source>Light</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Dark</source>
        <translation>Тёмная</translation>
    </message>
    <message>
        <source>Default project directory:</source>
        <translation>Каталог проектов:</translation>
    </message>
    <message>
        <source>Poll speed:</source>
        <translation>Период опроса:</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>Automatically display log on error</source>
        <translation>Показывать журнал при ошибке</translation>
    </message>
    <message>
        <source>Device </source>
        <translation>Устройство </translation>
    </message>
    <message>
        <source>Automatically sync the MC clock upon connection</source>
        <translation>Синхронизировать часы МК при подключении</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Эмулятор</translation>
    </message>
    <message>
        <source>Port:</source>
        <translation>Порт:</translation>
    </message>
    <message>
        <source>Debugger</source>
        <translation>Отладчик</translation>
    </message>
    <message>
        <source>Run to main when started / restarted</source>
        <translation>Выполнять до main при запуске и перезапуске</translation>
    </message>
    <message>
        <source>Connection</source>
        <translation>Подключение</translation>
    </message>
    <message>
        <source>Remote TCP Devices</source>
        <translation>Удалённые устройства TCP</translation>
    </message>
    <message>
        <source>Remote UDP Devices</source>
        <translation>Шлюзы UDP</translation>
    </message>
    <message>
        <source>Mesh port:</source>
        <translation>Порт сети:</translation>
    </message>
    <message>
        <source>Editor</source>
        <translation>Редактор</translation>
    </message>
    <message>
        <source>Font:</source>
        <translation>Шрифт:</translation>
    </message>
    <message>
        <source>pt</source>
        <translation>пт</translation>
    </message>
    <message>
        <source>Tab width:</source>
        <translation>Ширина табуляции:</translation>
    </message>
    <message>
        <source>Use spaces</source>
        <translation>Пробелами</translation>
    </message>
    <message>
        <source>Theme:</source>
        <translation>Тема:</translation>
    </message>
    <message>
        <source>Inherit</source>
        <translation>Как в приложении</translation>
    </message>
    <message>
        <source>Lite</source>
        <translation>Светлая</translation>
    </message>
    <message>
        <source>Automatic parentheses completion</source>
        <translation>Автозакрытие скобок</translation>
    </message>
    <message>
        <source>Automatic indentation</source>
        <translation>Автоотступ</translation>
    </message>
    <message>
        <source>Word wrap</source>
        <translation>Перенос строк</translation>
    </message>
    <message>
        <source>Visualize whitespace</source>
        <translation>Показывать пробельные символы</translation>
    </message>
    <message>
        <source>Clean whitespace before compilation</source>
        <translation>Удалять лишние пробелы перед сборкой</translation>
    </message>
    <message>
        <source>Make &quot;Find&quot; tool a toggle</source>
        <translation>«Найти» как переключатель</translation>
    </message>
    <message>
        <source>Change Language</source>
        <translation>Смена языка</translation>
    </message>
    <message>
        <source>Language will be changed after an application restart.</source>
        <translation>Язык сменится после перезапуска приложения.</translation>
    </message>
</context>
<context>
    <name>ZuGPIOSetupHelper</name>
    <message>
        <source>GPIO Setup</source>
        <translation>Настройка GPIO</translation>
    </message>
    <message>
        <source>Pin:</source>
        <translation>Вывод:</translation>
    </message>
    <message>
        <source>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600; color:#ef2929;&quot;&gt;* STM32 only!&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</source>
        <translation>&lt;html&gt;&lt;head/&gt;&lt;body&gt;&lt;p&gt;&lt;span style=&quot; font-weight:600; color:#ef2929;&quot;&gt;* Только для STM32!&lt;/span&gt;&lt;/p&gt;&lt;/body&gt;&lt;/html&gt;</translation>
    </message>
    <message>
        <source>Initial Value</source>
        <translation>Начальное значение</translation>
    </message>
    <message>
        <source>Low</source>
        <translation>Низкий</translation>
    </message>
    <message>
        <source>High</source>
        <translation>Высокий</translation>
    </message>
    <message>
        <source>Mode</source>
        <translation>Режим</translation>
    </message>
    <message>
        <source>Input</source>
        <translation>Вход</translation>
    </message>
    <message>
        <source>Output</source>
        <translation>Выход</translation>
    </message>
    <message>
        <source>ADC</source>
        <translation>АЦП</translation>
    </message>
    <message>
        <source>Interrupt</source>
        <translation>Прерывание</translation>
    </message>
    <message>
        <source>PWM Output</source>
        <translation>Выход ШИМ</translation>
    </message>
    <message>
        <source>PWM Input</source>
        <translation>Вход ШИМ</translation>
    </message>
    <message>
        <source>Output Mode</source>
        <translation>Режим выхода</translation>
    </message>
    <message>
        <source>Push-Pull</source>
        <translation>Двухтактный</translation>
    </message>
    <message>
        <source>Open-Drain</source>
        <translation>Открытый сток</translation>
    </message>
    <message>
        <source>PWM/Interrupt Type</source>
        <translation>Тип ШИМ/прерывания</translation>
    </message>
    <message>
        <source>Hardware</source>
        <translation>Аппаратный</translation>
    </message>
    <message>
        <source>Software</source>
        <translation>Программный</translation>
    </message>
    <message>
        <source>Pull</source>
        <translation>Подтяжка</translation>
    </message>
    <message>
        <source>No Pull</source>
        <translation>Без подтяжки</translation>
    </message>
    <message>
        <source>Pull Up</source>
        <translation>К питанию</translation>
    </message>
    <message>
        <source>Pull Down</source>
        <translation>К земле</translation>
    </message>
    <message>
        <source>ADC Units</source>
        <translation>Единицы АЦП</translation>
    </message>
    <message>
        <source>Millivolts</source>
        <translation>Милливольты</translation>
    </message>
    <message>
        <source>Binary</source>
        <translation>Двоичные</translation>
    </message>
    <message>
        <source>Interrupt Trigger</source>
        <translation>Условие прерывания</translation>
    </message>
    <message>
        <source>Rising Edge</source>
        <translation>Передний фронт</translation>
    </message>
    <message>
        <source>Falling Edge</source>
        <translation>Задний фронт</translation>
    </message>
    <message>
        <source>PWM Measurement</source>
        <translation>Измерение ШИМ</translation>
    </message>
    <message>
        <source>Duty Cycle</source>
        <translation>Коэффициент заполнения</translation>
    </message>
    <message>
        <source>Frequency</source>
        <translation>Частота</translation>
    </message>
    <message>
        <source>Software Interrupt Debounce</source>
        <translation>Программное подавление дребезга</translation>
    </message>
    <message>
        <source>ms</source>
        <translation>мс</translation>
    </message>
    <message>
        <source>PWM Output Initial Duty</source>
        <translation>Начальное заполнение ШИМ</translation>
    </message>
    <message>
        <source>%1 (at %2)</source>
        <translation>%1 (на %2)</translation>
    </message>
</context>
<context>
    <name>ZuHalHidMessenger</name>
    <message>
        <source>Not opened</source>
        <translation>Не открыт</translation>
    </message>
</context>
<context>
    <name>ZuHalTCPMessenger</name>
    <message>
        <source>KOLM-Platform</source>
        <translation>KOLM-Platform</translation>
    </message>
    <message>
        <source>Emulator</source>
        <translation>Эмулятор</translation>
    </message>
</context>
<context>
    <name>ZuHalUDPMessenger</name>
    <message>
        <source>Unknown</source>
        <translation>Неизвестно</translation>
    </message>
</context>
<context>
    <name>ZuHalUartMessenger</name>
    <message>
        <source>Unknown Manufacturer</source>
        <translation>Неизвестный производитель</translation>
    </message>
</context>
<context>
    <name>hiddfu_runner</name>
    <message>
        <source>Busy</source>
        <translation>Занят</translation>
    </message>
</context>
<context>
    <name>hiddfu_usb_worker</name>
    <message>
        <source>Bulk interface not supported - fallback to the slower one</source>
        <translation>Интерфейс bulk не поддерживается: используется более медленный</translation>
    </message>
</context>
</TS>
