-- Head-office database (VOLMA): the tables and views the interface program reads and writes.
-- Written in the server's own dialect; batches are separated by GO lines.

CREATE TABLE dbo.TA_CONFIGURACION (
    CLAVE varchar(50) NOT NULL PRIMARY KEY,
    VALOR varchar(255) NULL,
    valoraux varchar(255) NULL
)

CREATE TABLE dbo.ta_usuarios (
    Nombre varchar(30) NOT NULL PRIMARY KEY,
    NombreCompleto nvarchar(60) NULL,
    Administrador int NOT NULL DEFAULT 0,
    UNegocio varchar(4) NULL,
    VerProforma bit NOT NULL DEFAULT 0
)

CREATE TABLE dbo.V_TA_Cajas (
    IdCajas varchar(4) NOT NULL PRIMARY KEY,
    Descripcion varchar(50) NULL
)

CREATE TABLE dbo.V_TA_TPV (
    CODIGO varchar(10) NOT NULL PRIMARY KEY,
    DESCRIPCION varchar(50) NULL,
    CONECTADO bit NOT NULL DEFAULT 0,
    ULTIMA_DETECCION datetime NULL,
    PEND_CLIENTES bit NOT NULL DEFAULT 0,
    PEND_PROVEEDORES bit NOT NULL DEFAULT 0,
    PEND_TABLAS bit NOT NULL DEFAULT 0,
    PEND_ARTICULOS bit NOT NULL DEFAULT 0,
    PEND_PRECIOS bit NOT NULL DEFAULT 0
)

CREATE TABLE dbo.V_TA_UnidadNegocio (
    Codigo varchar(4) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_DEPOSITO (
    IdDeposito varchar(4) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL,
    UNegocio varchar(4) NULL
)

CREATE TABLE dbo.V_TA_FAMILIAS (
    IdFamilia varchar(10) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_TipoArticulo (
    IdTipo varchar(4) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_Rubros (
    IdRubro varchar(4) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_Unidades (
    IdUnidad varchar(4) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_VENDEDORES (
    IDVENDEDOR varchar(4) NOT NULL PRIMARY KEY,
    NOMBRE nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_TECNICOS (
    IDTECNICO varchar(4) NOT NULL PRIMARY KEY,
    NOMBRE nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_Tareas (
    IdTarea varchar(10) NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_MA_MANTENIMIENTOS (
    CODIGO varchar(10) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(50) NULL
)

CREATE TABLE dbo.MA_CONTACTOS (
    Codigo int NOT NULL PRIMARY KEY,
    Nombre_y_Apellido nvarchar(60) NULL,
    Domicilio nvarchar(60) NULL,
    Localidad nvarchar(40) NULL,
    Telefono varchar(30) NULL
)

CREATE TABLE dbo.MA_CUENTAS (
    CODIGO varchar(20) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(60) NULL,
    IMPUTABLE bit NOT NULL DEFAULT 1
)

CREATE TABLE dbo.AC_CUENTASDIARIO (
    CODIGO varchar(20) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(60) NULL
)

CREATE TABLE dbo.AC_CUENTASDIARIO_CCOSTO (
    CODIGO varchar(20) NOT NULL,
    CCOSTO varchar(10) NOT NULL,
    DESCRIPCION nvarchar(60) NULL,
    PRIMARY KEY (CODIGO, CCOSTO)
)

CREATE TABLE dbo.TA_CCOSTO (
    CODIGO varchar(10) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(50) NULL
)

CREATE TABLE dbo.MA_POSICIONES (
    IDPOSICION varchar(10) NOT NULL PRIMARY KEY,
    IdDeposito varchar(4) NULL,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.VT_CLIENTES (
    CODIGO varchar(13) NOT NULL PRIMARY KEY,
    RAZON_SOCIAL nvarchar(60) NULL,
    CONTACTO nvarchar(60) NULL,
    CUIT varchar(13) NULL,
    Dada_De_Baja int NOT NULL DEFAULT 0
)

CREATE TABLE dbo.VT_PROVEEDORES (
    CODIGO varchar(13) NOT NULL PRIMARY KEY,
    RAZON_SOCIAL nvarchar(50) NULL,
    CUIT nvarchar(4000) NULL,
    CONDIVA char(1) NOT NULL DEFAULT 'I',
    TIPOACT char(1) NOT NULL DEFAULT 'M',
    OBSERV varchar(30) NOT NULL DEFAULT '',
    Dada_De_Baja int NOT NULL DEFAULT 0
)

-- Articles and what hangs from them: barcodes, packs, supplier codes. PIDEMEDIDAS: a line of the
-- article asks for its measures (timber trade); PIDEEQUIVALENCIA: for an equivalent unit.
CREATE TABLE dbo.MA_ARTICULOS (
    IDARTICULO nvarchar(25) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(50) NOT NULL,
    DESCRIPCIONTICKET nvarchar(50) NULL,
    MARCA nvarchar(50) NOT NULL DEFAULT '',
    PRESENTACION nvarchar(50) NULL,
    IDUNIDAD nvarchar(4) NULL,
    UNIDADESBULTO float NULL,
    HABILITADOCOMPRA char(1) NULL,
    ENGANCHE nvarchar(25) NULL,
    IDTIPO varchar(4) NULL,
    IDRUBRO varchar(4) NULL,
    IDFAMILIA varchar(10) NULL,
    CLASIFICACION nvarchar(15) NULL,
    IVA char(1) NULL,
    TASAIVA float NOT NULL DEFAULT 0,
    IMPUESTOS float NOT NULL DEFAULT 0,
    EXENTO bit NOT NULL DEFAULT 0,
    COSTO money NOT NULL DEFAULT 0,
    USASERIE bit NOT NULL DEFAULT 0,
    USALOTE bit NOT NULL DEFAULT 0,
    PERECEDERO bit NOT NULL DEFAULT 0,
    USATALLE bit NOT NULL DEFAULT 0,
    PESABLE bit NULL,
    ENVASE char(1) NULL,
    CUENTACONTABLE varchar(20) NULL,
    CUENTACONTABLEC varchar(20) NULL,
    CTACON1 nvarchar(15) NULL,
    CTACON2 varchar(20) NOT NULL DEFAULT '',
    COD_CTACON1_IN varchar(6) NOT NULL DEFAULT '',
    COD_CTACON2_IN varchar(6) NOT NULL DEFAULT '',
    ACTIVO bit NOT NULL DEFAULT 1,
    SUSPENDIDO int NOT NULL DEFAULT 0,
    PIDEMEDIDAS bit NULL,
    PIDEEQUIVALENCIA bit NULL
)

-- NUMERO 0 is the article's own barcode; 1 to 4 the alternate ones, each with its unit.
CREATE TABLE dbo.MA_CODIGOSBARRA (
    IDARTICULO nvarchar(25) NOT NULL,
    NUMERO int NOT NULL,
    CODIGOBARRA nvarchar(25) NOT NULL,
    IDUNIDAD nvarchar(4) NULL,
    PRIMARY KEY (IDARTICULO, NUMERO)
)

CREATE TABLE dbo.MA_BULTOS (
    IDARTICULO nvarchar(25) NOT NULL PRIMARY KEY,
    BULTO nvarchar(4) NULL,
    CODIGOBARRADUN nvarchar(25) NULL,
    UD_TTE nvarchar(4) NULL,
    TIPOACT char(1) NOT NULL DEFAULT 'M'
)

CREATE TABLE dbo.MA_ARTICULOSPROVEEDOR (
    IDARTICULO nvarchar(25) NOT NULL,
    CUENTAPROVEEDOR nvarchar(15) NOT NULL,
    CODIGOARTPROVEEDOR nvarchar(25) NULL,
    PRINCIPAL bit NOT NULL DEFAULT 1,
    TIPOACT char(1) NOT NULL DEFAULT 'M',
    PRIMARY KEY (IDARTICULO, CUENTAPROVEEDOR)
)

CREATE VIEW dbo.V_MA_ARTICULOS AS
SELECT a.IDARTICULO, a.DESCRIPCION, a.DESCRIPCIONTICKET, a.MARCA, a.PRESENTACION, a.IDUNIDAD, a.UNIDADESBULTO,
       a.HABILITADOCOMPRA, a.ENGANCHE, a.IDTIPO, a.IDRUBRO, a.IDFAMILIA, a.CLASIFICACION, a.IVA, a.TASAIVA, a.IMPUESTOS,
       a.EXENTO, a.COSTO, a.USASERIE, a.USALOTE, a.PERECEDERO, a.USATALLE, a.PESABLE, a.ENVASE, a.CUENTACONTABLE,
       a.CUENTACONTABLEC, a.CTACON1, a.CTACON2, a.COD_CTACON1_IN, a.COD_CTACON2_IN, a.ACTIVO, a.SUSPENDIDO,
       b0.CODIGOBARRA AS CODIGOBARRA,
       b1.CODIGOBARRA AS CODIGOBARRA1, b1.IDUNIDAD AS UMCB1,
       b2.CODIGOBARRA AS CODIGOBARRA2, b2.IDUNIDAD AS UMCB2,
       b3.CODIGOBARRA AS CODIGOBARRA3, b3.IDUNIDAD AS UMCB3,
       b4.CODIGOBARRA AS CODIGOBARRA4, b4.IDUNIDAD AS UMCB4,
       d.CODIGOBARRADUN AS CODIGOBARRADUN, d.UD_TTE AS UD_TTE, d.BULTO AS BULTO,
       p.CUENTAPROVEEDOR AS CUENTAPROVEEDOR, p.CODIGOARTPROVEEDOR AS CODIGOARTPROVEEDOR,
       a.PIDEMEDIDAS, a.PIDEEQUIVALENCIA
FROM dbo.MA_ARTICULOS a
LEFT JOIN dbo.MA_CODIGOSBARRA b0 ON b0.IDARTICULO = a.IDARTICULO AND b0.NUMERO = 0
LEFT JOIN dbo.MA_CODIGOSBARRA b1 ON b1.IDARTICULO = a.IDARTICULO AND b1.NUMERO = 1
LEFT JOIN dbo.MA_CODIGOSBARRA b2 ON b2.IDARTICULO = a.IDARTICULO AND b2.NUMERO = 2
LEFT JOIN dbo.MA_CODIGOSBARRA b3 ON b3.IDARTICULO = a.IDARTICULO AND b3.NUMERO = 3
LEFT JOIN dbo.MA_CODIGOSBARRA b4 ON b4.IDARTICULO = a.IDARTICULO AND b4.NUMERO = 4
LEFT JOIN dbo.MA_BULTOS d ON d.IDARTICULO = a.IDARTICULO
LEFT JOIN dbo.MA_ARTICULOSPROVEEDOR p ON p.IDARTICULO = a.IDARTICULO AND p.PRINCIPAL = 1

-- Price lists: heads and rows. ESTADO is the send state of a row: '0-M', '0-C', '0-B' pending
-- (change, price, barcode), '1-...' sent. TIPOACT is what the stores are told: 'M' changed,
-- 'S' unchanged.
CREATE TABLE dbo.V_MA_PRECIOSCAB (
    IDLISTA varchar(4) NOT NULL,
    TIPOLISTA char(1) NOT NULL,
    NOMBRE nvarchar(50) NULL,
    PRIMARY KEY (IDLISTA, TIPOLISTA)
)

CREATE TABLE dbo.V_MA_PRECIOS (
    IDLISTA varchar(4) NOT NULL,
    TIPOLISTA char(1) NOT NULL,
    IDARTICULO nvarchar(25) NOT NULL,
    NOMBRE nvarchar(50) NULL,
    IDARTICULOPROVEEDOR nvarchar(25) NULL,
    IDUNIDAD nvarchar(4) NULL,
    PRECIO money NULL,
    PVENTA money NOT NULL DEFAULT 0,
    DTO1 char(1) NOT NULL DEFAULT '0',
    DTO2 char(1) NOT NULL DEFAULT '0',
    MARGEN float NULL,
    RECARGO1 float NULL,
    RECARGO2 float NULL,
    IMPINT char(1) NOT NULL DEFAULT '0',
    OBSERV varchar(30) NOT NULL DEFAULT '',
    ESTADO varchar(3) NULL,
    TIPOACT char(1) NOT NULL DEFAULT 'S',
    CAMBIOCODBARRA bit NOT NULL DEFAULT 0,
    TRANSMISION int NULL,
    FECHA datetime NOT NULL,
    IDINSERT int NULL,
    IDCOMPULSA int NULL,
    FHOFERTADESDE datetime NULL,
    FHOFERTAHASTA datetime NULL,
    PRIMARY KEY (IDLISTA, TIPOLISTA, IDARTICULO)
)

CREATE TABLE dbo.V_MV_PRECIOSHIS (
    IDARTICULO nvarchar(25) NOT NULL,
    FECHAHORA datetime NOT NULL,
    COSTO money NULL,
    PRIMARY KEY (IDARTICULO, FECHAHORA)
)

CREATE TABLE dbo.MV_NOVEDADESPRECIOS (
    CODIGO int NOT NULL PRIMARY KEY,
    IDLISTA varchar(4) NULL,
    NOMBRE nvarchar(50) NULL,
    TIPOMOV char(1) NULL,
    FECHA datetime NULL
)

CREATE TABLE dbo.MA_OFERTAS (
    COD_OFE int NOT NULL,
    IDARTICULO nvarchar(25) NOT NULL,
    DESCRIPCION nvarchar(250) NULL,
    MANUAL char(1) NOT NULL DEFAULT '0',
    FDESDE datetime NULL,
    FHASTA datetime NULL,
    ACTIVO char(1) NOT NULL DEFAULT '1',
    PRECIO money NULL,
    DTO1 char(1) NOT NULL DEFAULT '0',
    DTO2 char(1) NOT NULL DEFAULT '0',
    MARGEN money NULL,
    RECARGO1 float NULL,
    RECARGO2 float NULL,
    IMPINT char(1) NOT NULL DEFAULT '0',
    PVENTA money NOT NULL DEFAULT 0,
    TIPOACT char(1) NOT NULL DEFAULT 'M',
    OBSERV varchar(250) NOT NULL DEFAULT '',
    CUENTAPROVEEDOR varchar(13) NULL,
    PRIMARY KEY (COD_OFE, IDARTICULO)
)

-- The outbound views of the store send. An article without a supplier goes out with blank
-- supplier columns: the stores' tables take no nulls there.
CREATE VIEW dbo.QET_KORVANE AS
SELECT p.IDARTICULO AS ARTI, a.DESCRIPCION AS DESCRI, a.DESCRIPCIONTICKET AS DTICKET, a.MARCA AS MARCA,
       a.PRESENTACION AS CONTENIDO, a.IDUNIDAD AS UNIMED, a.UNIDADESBULTO AS UNIBUL, a.HABILITADOCOMPRA AS HABCPA,
       a.ENGANCHE AS ENGANCHE, ISNULL(pr.CUENTAPROVEEDOR, '') AS PROV, ISNULL(pr.CODIGOARTPROVEEDOR, '') AS NPRO, p.PRECIO AS PBASE,
       p.DTO1 AS Dto1, p.DTO2 AS Dto2, p.MARGEN AS MARGEN, p.RECARGO1 AS RECARGO1, p.RECARGO2 AS RECARGO2,
       p.IMPINT AS IMPINT, a.IVA AS IVA, p.PVENTA AS PVENTA, a.CLASIFICACION AS CLASIFICACION, p.FECHA AS FECACT,
       p.TIPOACT AS TIPOACT, p.TIPOACT AS TIPOACT_ORIG, p.OBSERV AS OBSERV, a.PESABLE AS Pesable, a.ENVASE AS ENVASE,
       a.CTACON1 AS CTACON1, a.CTACON2 AS CTACON2, a.COD_CTACON1_IN AS COD_CTACON1_IN,
       a.COD_CTACON2_IN AS COD_CTACON2_IN, s.VALOR AS COD_SUC
FROM dbo.V_MA_PRECIOS p
INNER JOIN dbo.MA_ARTICULOS a ON a.IDARTICULO = p.IDARTICULO
LEFT JOIN dbo.MA_ARTICULOSPROVEEDOR pr ON pr.IDARTICULO = p.IDARTICULO AND pr.PRINCIPAL = 1
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'
WHERE p.IDLISTA = 'A3' AND p.TIPOLISTA = 'V'

CREATE VIEW dbo.QET_KORVANE_BARRAS AS
SELECT s.VALOR AS COD_SUC, b.IDARTICULO AS ARTI, b.CODIGOBARRA AS CODBARR, p.TIPOACT AS TIPOACT
FROM dbo.MA_CODIGOSBARRA b
INNER JOIN dbo.V_MA_PRECIOS p ON p.IDARTICULO = b.IDARTICULO AND p.IDLISTA = 'A3' AND p.TIPOLISTA = 'V'
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'

CREATE VIEW dbo.QET_KORVANE_BULTOS AS
SELECT s.VALOR AS COD_SUC, d.IDARTICULO AS ARTI, d.BULTO AS BULTO, d.CODIGOBARRADUN AS BULTOS00, d.TIPOACT AS TIPOACT
FROM dbo.MA_BULTOS d
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'

CREATE VIEW dbo.QET_KORVANE_NOVPROV AS
SELECT s.VALOR AS COD_SUC, pr.IDARTICULO AS ARTI, pr.CUENTAPROVEEDOR AS PROV, pr.CODIGOARTPROVEEDOR AS NPRO,
       pr.TIPOACT AS TIPOACT
FROM dbo.MA_ARTICULOSPROVEEDOR pr
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'

CREATE VIEW dbo.QET_KORVANE_PROV AS
SELECT s.VALOR AS COD_SUC, v.CODIGO AS CODIGO, v.RAZON_SOCIAL AS DESCRI, v.CUIT AS CUIT, v.CONDIVA AS CONDIVA,
       v.TIPOACT AS TIPOACT, v.TIPOACT AS TIPOACT_ORIG, v.OBSERV AS OBSERV
FROM dbo.VT_PROVEEDORES v
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'

CREATE VIEW dbo.QET_KORVANE_OFERTAS AS
SELECT s.VALOR AS COD_SUC, o.COD_OFE AS COD_OFE, o.DESCRIPCION AS DESCRI, o.MANUAL AS MANUAL, o.FDESDE AS FDESDE,
       o.FHASTA AS FHASTA, o.ACTIVO AS ACTIVO, o.IDARTICULO AS ARTI, o.PRECIO AS PBASE, o.DTO1 AS Dto1, o.DTO2 AS Dto2,
       o.MARGEN AS MARGEN, o.RECARGO1 AS RECARGO1, o.RECARGO2 AS RECARGO2, o.IMPINT AS IMPINT, o.PVENTA AS PVENTA,
       o.TIPOACT AS TIPOACT, o.TIPOACT AS TIPOACT_ORIG, o.OBSERV AS OBSERV, o.CUENTAPROVEEDOR AS PROV
FROM dbo.MA_OFERTAS o
LEFT JOIN dbo.TA_CONFIGURACION s ON s.CLAVE = 'COD_SUC'

-- Vouchers, stock movements and journal entries.
-- Voucher types, one row per voucher book (TALONARIO) with its numbering per letter.
CREATE TABLE dbo.V_TA_CPTE (
    CODIGO varchar(4) NOT NULL,
    TALONARIO int NOT NULL DEFAULT 1,
    DESCRIPCION nvarchar(50) NULL,
    SISTEMA varchar(10) NULL,
    Signo int NULL,
    ES char(1) NULL,
    TIPO_REG varchar(3) NULL,
    UNEGOCIO varchar(4) NULL,
    EXTERNO varchar(5) NULL,
    Modificanumeracion bit NOT NULL DEFAULT 0,
    Letras varchar(20) NULL,
    fechahora_modificacion datetime NULL,
    A_SUC_DEFAULT int NULL,
    A_NRO_DESDE int NULL,
    A_NRO_HASTA int NULL,
    A_ULTIMO_NRO int NULL,
    VenceA datetime NULL,
    B_SUC_DEFAULT int NULL,
    B_NRO_DESDE int NULL,
    B_NRO_HASTA int NULL,
    B_ULTIMO_NRO int NULL,
    VenceB datetime NULL,
    C_SUC_DEFAULT int NULL,
    C_NRO_DESDE int NULL,
    C_NRO_HASTA int NULL,
    C_ULTIMO_NRO int NULL,
    VenceC datetime NULL,
    E_SUC_DEFAULT int NULL,
    E_NRO_DESDE int NULL,
    E_NRO_HASTA int NULL,
    E_ULTIMO_NRO int NULL,
    VenceE datetime NULL,
    R_SUC_DEFAULT int NULL,
    R_NRO_DESDE int NULL,
    R_NRO_HASTA int NULL,
    R_ULTIMO_NRO int NULL,
    VenceR datetime NULL,
    X_SUC_DEFAULT int NULL,
    X_NRO_DESDE int NULL,
    X_NRO_HASTA int NULL,
    X_ULTIMO_NRO int NULL,
    VenceX datetime NULL,
    M_SUC_DEFAULT int NULL,
    M_NRO_DESDE int NULL,
    M_NRO_HASTA int NULL,
    M_ULTIMO_NRO int NULL,
    VenceM datetime NULL,
    PRIMARY KEY (CODIGO, TALONARIO)
)

CREATE TABLE dbo.TA_Comprobantes (
    CODIGO varchar(4) NOT NULL,
    SISTEMA varchar(10) NOT NULL,
    TALONARIO int NOT NULL,
    DESCRIPCION nvarchar(50) NULL,
    fechahora_modificacion datetime NULL,
    A_SUC_DEFAULT int NULL,
    A_NRO_DESDE int NULL,
    A_NRO_HASTA int NULL,
    A_ULTIMO_NRO int NULL,
    VenceA datetime NULL,
    B_SUC_DEFAULT int NULL,
    B_NRO_DESDE int NULL,
    B_NRO_HASTA int NULL,
    B_ULTIMO_NRO int NULL,
    VenceB datetime NULL,
    C_SUC_DEFAULT int NULL,
    C_NRO_DESDE int NULL,
    C_NRO_HASTA int NULL,
    C_ULTIMO_NRO int NULL,
    VenceC datetime NULL,
    E_SUC_DEFAULT int NULL,
    E_NRO_DESDE int NULL,
    E_NRO_HASTA int NULL,
    E_ULTIMO_NRO int NULL,
    VenceE datetime NULL,
    R_SUC_DEFAULT int NULL,
    R_NRO_DESDE int NULL,
    R_NRO_HASTA int NULL,
    R_ULTIMO_NRO int NULL,
    VenceR datetime NULL,
    X_SUC_DEFAULT int NULL,
    X_NRO_DESDE int NULL,
    X_NRO_HASTA int NULL,
    X_ULTIMO_NRO int NULL,
    VenceX datetime NULL,
    M_SUC_DEFAULT int NULL,
    M_NRO_DESDE int NULL,
    M_NRO_HASTA int NULL,
    M_ULTIMO_NRO int NULL,
    VenceM datetime NULL,
    PRIMARY KEY (CODIGO, SISTEMA, TALONARIO)
)

CREATE TABLE dbo.V_MV_CTROL_CPTE (
    TC varchar(4) NOT NULL,
    SUCURSAL varchar(4) NOT NULL,
    NUMERO varchar(8) NOT NULL,
    LETRA char(1) NOT NULL
)

CREATE TABLE dbo.V_TA_MOTIVOSTOCK (
    IDMOTIVOSTOCK int NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL,
    CUENTACONTABLE varchar(20) NULL
)

CREATE TABLE dbo.V_TA_MotivoVta (
    IdMotivoVta int NOT NULL PRIMARY KEY,
    Descripcion nvarchar(50) NULL
)

CREATE TABLE dbo.V_TA_Input_Ventas (
    IdMotivoVta int NOT NULL PRIMARY KEY,
    COSTO_MERCADERIA varchar(20) NULL
)

CREATE TABLE dbo.MA_SUBDIARIOS (
    CODIGO varchar(4) NOT NULL PRIMARY KEY,
    DESCRIPCION nvarchar(50) NULL
)

CREATE TABLE dbo.MA_SUBDIARIOSCOMPROBANTES (
    TC varchar(4) NOT NULL PRIMARY KEY,
    Subdiario varchar(4) NULL
)

-- Stock movements: one row per posted line and lot or series item. The stores number their
-- vouchers each on their own, so one type and number may come from several stores: the business
-- unit is part of the key, and each store's voucher numbers its rows from 1. The key's leading
-- columns serve the lookups by type and number, with or without the unit.
CREATE TABLE dbo.V_MV_STOCK (
    TC varchar(4) NOT NULL,
    IdComprobante varchar(13) NOT NULL,
    IdComplemento int NOT NULL DEFAULT 0,
    Secuencia int NOT NULL,
    Fecha datetime NOT NULL,
    IdCaja varchar(4) NULL,
    IdDeposito varchar(4) NULL,
    IDDEPOSITO_DESTINO varchar(4) NULL,
    IdArticulo nvarchar(25) NOT NULL,
    Descripcion nvarchar(100) NULL,
    NroLote varchar(50) NULL,
    ControladoPor varchar(50) NULL,
    IdOrigen varchar(4) NULL,
    NroSerie varchar(50) NULL,
    IdUnidad varchar(4) NULL,
    Cantidad float NOT NULL DEFAULT 0,
    CantidadUD float NULL,
    IdUnidadBase varchar(4) NULL,
    CuentaProveedor varchar(15) NULL,
    IdMotivoStock int NULL,
    PrecioVenta money NULL,
    Importe_S_Iva money NULL,
    Costo money NULL,
    Impuestos money NULL,
    DtoItem float NULL,
    Tc_Origen varchar(4) NULL,
    IdComprobante_Origen varchar(13) NULL,
    Id_Origen int NULL,
    IVARI money NULL,
    IVARNI money NULL,
    IdTecnico varchar(4) NULL,
    EQUIV_UDBASE float NULL,
    IDINSERT int NULL,
    IDCOMPULSA int NULL,
    Oferta int NULL,
    IdVendedor varchar(4) NULL,
    Importe_Ud money NULL,
    Ud_Pr varchar(4) NULL,
    ArtMoneda varchar(4) NULL,
    ArtCotizacion float NULL,
    UNEGOCIO varchar(4) NOT NULL DEFAULT '',
    EnComodato bit NOT NULL DEFAULT 0,
    PRIMARY KEY (TC, IdComprobante, UNEGOCIO, IdComplemento, Secuencia)
)

CREATE TABLE dbo.MV_ASIENTOS (
    Cuenta varchar(20) NOT NULL,
    Secuencia int NOT NULL,
    Mes_Operativo int NULL,
    [Numero Asiento] int NULL,
    Fecha datetime NULL,
    FechaSubDiario datetime NULL,
    Detalle nvarchar(100) NULL,
    TC varchar(4) NOT NULL,
    SUCURSAL varchar(4) NOT NULL,
    NUMERO varchar(8) NOT NULL,
    LETRA char(1) NOT NULL,
    PERIODO int NULL,
    Tipo_Reg varchar(3) NULL,
    [DEBE-HABER] char(1) NOT NULL,
    FechaHora_Grabacion datetime NULL,
    USUARIO_LOGEADO varchar(30) NULL,
    Importe money NOT NULL DEFAULT 0,
    Moneda varchar(4) NULL,
    Cotizacion float NULL,
    CABImporte money NULL,
    CABCuenta varchar(20) NULL,
    CABNombre varchar(50) NULL,
    Unegocio varchar(4) NULL,
    IdCajas varchar(4) NULL,
    TC_ORIGEN varchar(4) NULL,
    CPTE_ORIGEN varchar(13) NULL
)

CREATE TABLE dbo.MV_VIAJES (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    FECHA datetime NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE)
)

CREATE TABLE dbo.C_MV_CPTE (
    TC varchar(4) NOT NULL,
    IDCOMPROBANTE varchar(13) NOT NULL,
    IDCOMPLEMENTO int NOT NULL DEFAULT 0,
    FECHA datetime NULL,
    CUENTA varchar(15) NULL,
    ESTADO varchar(10) NULL,
    PRIMARY KEY (TC, IDCOMPROBANTE, IDCOMPLEMENTO)
)

-- Articles the operators report as out of stock from the article lookup list (F12).
CREATE TABLE dbo.V_MV_FALTANTES (
    FechaHora datetime NULL,
    IdArticulo nvarchar(25) NULL,
    Descripcion nvarchar(50) NULL,
    Usuario varchar(30) NULL
)

-- Notices to the administrators.
CREATE TABLE dbo.MV_MEMOS (
    ID int NULL,
    DE varchar(30) NULL,
    PARA varchar(30) NULL,
    ASUNTO nvarchar(100) NULL,
    MENSAJE nvarchar(1000) NULL,
    FECHA datetime NULL
)

-- The synonyms of the confidential tables, for users who are not administrators.
CREATE VIEW dbo.SS_MA_CUENTAS AS SELECT * FROM dbo.MA_CUENTAS
CREATE VIEW dbo.SS_V_TA_DEPOSITO AS SELECT * FROM dbo.V_TA_DEPOSITO
CREATE VIEW dbo.SS_MV_ASIENTOS AS SELECT * FROM dbo.MV_ASIENTOS
CREATE VIEW dbo.SS_V_TA_FAMILIAS AS SELECT * FROM dbo.V_TA_FAMILIAS
CREATE VIEW dbo.SS_V_TA_CAJAS AS SELECT * FROM dbo.V_TA_Cajas
CREATE VIEW dbo.SS_AC_CUENTASDIARIO AS SELECT * FROM dbo.AC_CUENTASDIARIO
CREATE VIEW dbo.SS_AC_CUENTAS_DIARIO_CCOSTO AS SELECT * FROM dbo.AC_CUENTASDIARIO_CCOSTO
GO

CREATE PROCEDURE dbo.XK_ENVIAR_MEMO_ADMIN @De varchar(30), @Para varchar(30), @Asunto nvarchar(100), @Mensaje nvarchar(1000)
AS
INSERT INTO MV_MEMOS (ID, DE, PARA, ASUNTO, MENSAJE, FECHA)
SELECT ISNULL(MAX(ID), 0) + 1, @De, @Para, @Asunto, @Mensaje, GETDATE() FROM MV_MEMOS
GO
